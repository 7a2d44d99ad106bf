#pragma once

// What the benchmarks share: medians, files, memory figures and the gaps of
// the event loop.
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace BenchTools {

// The middle value; of an even count, the mean of the two in the middle.
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// A shell script that may be run, as an engine.
inline void writeScript(const QString &path, const QByteArray &body)
{
    writeFile(path, body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A field of /proc/self/status in kB (VmRSS, VmHWM); -1 where it is missing.
inline qint64 statusKb(const QByteArray &field)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// The longest time between two ticks of a timer (0 ms: every turn of the
// event loop): how long a click or a key would have waited meanwhile.
class LoopGaps
{
public:
    explicit LoopGaps(int intervalMs = 0)
    {
        m_timer.setInterval(intervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
    }
    void start()
    {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
        m_timer.start();
    }
    // The longest gap since start() or the last call, the time since the
    // last tick included, in ms.
    double longestMs()
    {
        const qint64 longest = std::max(m_longest, m_clock.nsecsElapsed() - m_last);
        m_longest = 0;
        return double(longest) / 1e6;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// The longest gap of the event loop while wait() runs.
template <typename Wait> double longestGapWhile(int intervalMs, Wait wait)
{
    LoopGaps gaps(intervalMs);
    gaps.start();
    wait();
    return gaps.longestMs();
}

} // namespace BenchTools
