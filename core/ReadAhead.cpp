#include "core/ReadAhead.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Pieces read and not yet taken, at most.
constexpr int PiecesAhead = 4;

// What the reading thread hands over, in the order it happened.
struct Handover
{
    enum Kind { Size, Piece, End };
    Kind kind;
    qint64 size = 0; // the file's, or the piece's
    int buffer = -1;
    std::exception_ptr error;
};

// Thrown on the reading thread once the taker has given up.
struct Stopped
{
};

// The sink of the reading thread: it reads into a few buffers in turn and
// hands each one over, waiting while all of them are still to be taken.
class Relay : public TextFile::ByteSink
{
public:
    explicit Relay(TextFile::PieceWatcher &watcher) : m_watcher(watcher), m_buffers(PiecesAhead)
    {
        for (int i = 0; i < PiecesAhead; ++i)
            m_free.push_back(i);
    }

    // On the reading thread.
    void expectSize(qint64 size) override { hand({Handover::Size, size, -1, {}}); }
    char *space(qsizetype size) override
    {
        std::unique_lock lock(m_mutex);
        m_freed.wait(lock, [this] { return m_stopped || !m_free.empty(); });
        if (m_stopped)
            throw Stopped();
        m_filling = m_free.back();
        m_free.pop_back();
        lock.unlock();
        std::vector<char> &buffer = m_buffers[size_t(m_filling)];
        if (qsizetype(buffer.size()) < size)
            buffer.resize(size_t(size));
        return buffer.data();
    }
    void commit(qsizetype length) override
    {
        m_watcher.see(QByteArrayView(m_buffers[size_t(m_filling)].data(), length));
        hand({Handover::Piece, length, m_filling, {}});
    }
    void finish(std::exception_ptr error) { hand({Handover::End, 0, -1, std::move(error)}); }

    // On the taking thread.
    Handover next()
    {
        std::unique_lock lock(m_mutex);
        m_handed.wait(lock, [this] { return !m_handovers.empty(); });
        Handover handover = std::move(m_handovers.front());
        m_handovers.pop_front();
        return handover;
    }
    const char *piece(int buffer) const { return m_buffers[size_t(buffer)].data(); }
    void release(int buffer)
    {
        const std::lock_guard lock(m_mutex);
        m_free.push_back(buffer);
        m_freed.notify_one();
    }
    void stop()
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
        m_freed.notify_one();
    }

private:
    void hand(Handover handover)
    {
        const std::lock_guard lock(m_mutex);
        m_handovers.push_back(std::move(handover));
        m_handed.notify_one();
    }

    TextFile::PieceWatcher &m_watcher;
    std::vector<std::vector<char>> m_buffers;
    int m_filling = -1;
    std::mutex m_mutex;
    std::condition_variable m_handed;
    std::condition_variable m_freed;
    std::deque<Handover> m_handovers;
    std::vector<int> m_free;
    bool m_stopped = false;
};

// The same on one thread, should no thread be had: the watcher sees each
// piece once it is in sink.
class WatchedSink : public TextFile::ByteSink
{
public:
    WatchedSink(TextFile::ByteSink &sink, TextFile::PieceWatcher &watcher) : m_sink(sink), m_watcher(watcher)
    {}
    void expectSize(qint64 size) override { m_sink.expectSize(size); }
    char *space(qsizetype size) override { return m_space = m_sink.space(size); }
    void commit(qsizetype length) override
    {
        m_watcher.see(QByteArrayView(m_space, length));
        m_sink.commit(length);
    }

private:
    TextFile::ByteSink &m_sink;
    TextFile::PieceWatcher &m_watcher;
    char *m_space = nullptr;
};

} // namespace

namespace TextFile {

void readAhead(const QString &path, ByteSink &sink, PieceWatcher &watcher)
{
    Relay relay(watcher);
    std::thread reader;
    try {
        reader = std::thread([&relay, path] {
            try {
                readInto(path, relay);
                relay.finish({});
            } catch (const Stopped &) {
            } catch (...) {
                relay.finish(std::current_exception());
            }
        });
    } catch (const std::system_error &) {
        WatchedSink watched(sink, watcher);
        readInto(path, watched);
        return;
    }
    // However this ends, the reading ends first: an error in sink stops it.
    struct Join
    {
        Relay &relay;
        std::thread &reader;
        ~Join()
        {
            relay.stop();
            reader.join();
        }
    } join{relay, reader};
    for (;;) {
        const Handover handover = relay.next();
        switch (handover.kind) {
        case Handover::Size:
            sink.expectSize(handover.size);
            break;
        case Handover::Piece:
            sink.take(relay.piece(handover.buffer), qsizetype(handover.size));
            relay.release(handover.buffer);
            break;
        case Handover::End:
            if (handover.error)
                std::rethrow_exception(handover.error);
            return;
        }
    }
}

} // namespace TextFile
