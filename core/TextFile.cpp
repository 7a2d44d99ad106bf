#include "core/TextFile.h"

#include "core/FileError.h"
#include "core/FileNames.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// A UTF-8 file goes straight into the editor: its bytes and their line index
// live once. Other encodings are decoded from there into a second copy.
constexpr qint64 MemoryPerFileByte = 2;

// Collects a file's bytes in one array, read in place.
class ArraySink : public TextFile::ByteSink
{
public:
    // The room for the last piece, which finds the end, comes with it.
    void expectSize(qint64 size) override { m_bytes.reserve(qsizetype(size) + TextFile::ReadPieceSize); }
    char *space(qsizetype size) override
    {
        m_offered = size;
        m_bytes.resize(m_bytes.size() + size);
        return m_bytes.data() + m_bytes.size() - size;
    }
    void commit(qsizetype length) override { m_bytes.truncate(m_bytes.size() - (m_offered - length)); }
    QByteArray takeBytes() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
    qsizetype m_offered = 0;
};

// The position of the first line end at or after from that is not CR LF (a
// lone CR or a lone LF), or n. Lines are found with memchr, which runs far
// ahead of a loop over single bytes.
qsizetype nextBareLineEnd(const char *text, qsizetype from, qsizetype n)
{
    for (qsizetype i = from; i < n;) {
        const auto *lf = static_cast<const char *>(std::memchr(text + i, '\n', size_t(n - i)));
        const qsizetype end = lf ? lf - text : n;
        const bool crLf = lf && end > i && text[end - 1] == '\r';
        const qsizetype lineEnd = crLf ? end - 1 : end;
        if (const auto *cr = static_cast<const char *>(std::memchr(text + i, '\r', size_t(lineEnd - i))))
            return cr - text;
        if (!lf || !crLf)
            return end;
        i = end + 1;
    }
    return n;
}

#ifdef Q_OS_UNIX

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// Reads up to size bytes; fewer only at the end of the file. -1 on failure.
qint64 readUpTo(int fd, char *data, qint64 size)
{
    qint64 total = 0;
    while (total < size) {
        const ssize_t got = ::read(fd, data + total, size_t(size - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

void readOpenFile(int fd, const QString &path, TextFile::ByteSink &sink)
{
    struct stat info = {};
    if (::fstat(fd, &info) != 0)
        throw FileError::cannotOpen(path);
    if (!S_ISREG(info.st_mode))
        throw FileError::cannotOpen(path, QStringLiteral("not a regular file"));
    // Only opening had to be kept from waiting; reads of a file wait for their data.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        throw FileError::cannotOpen(path);
    const qint64 limit = TextFile::largestReadableFile();
    if (info.st_size > limit)
        throw FileError::tooLarge(path);

    sink.expectSize(info.st_size);
    // A file that grows while it is read, or one that tells no size (as
    // /proc's do), is read on to its end, as long as it stays in bounds.
    qint64 total = 0;
    for (;;) {
        const qint64 got = readUpTo(fd, sink.space(TextFile::ReadPieceSize), TextFile::ReadPieceSize);
        sink.commit(qsizetype(qMax<qint64>(got, 0)));
        if (got < 0)
            throw FileError::cannotOpen(path);
        if (got == 0)
            break;
        total += got;
        if (total > limit)
            throw FileError::tooLarge(path);
    }
}

void readFile(const QString &path, TextFile::ByteSink &sink)
{
    // Opened without waiting, then checked on the open file itself: a FIFO
    // put in the file's place after any earlier check still cannot stop the
    // program.
    const Descriptor file(::open(FileNames::toNative(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.fd() < 0)
        throw FileError::cannotOpen(path);
    readOpenFile(file.fd(), path, sink);
}

bool syncedToDisk(QSaveFile &file)
{
    // Some file systems cannot sync; that is no failure of the write.
    return ::fsync(file.handle()) == 0 || errno == EINVAL || errno == ENOTSUP;
}

bool mayReplace(const QString &path)
{
    const QByteArray native = FileNames::toNative(path);
    struct stat info = {};
    if (::lstat(native.constData(), &info) != 0)
        return errno == ENOENT;
    // A link to nothing would have the save create its target, wherever the
    // link points.
    if (S_ISLNK(info.st_mode) && ::stat(native.constData(), &info) != 0)
        return false;
    return S_ISREG(info.st_mode);
}

#else

void readFile(const QString &path, TextFile::ByteSink &sink)
{
    const QFileInfo info(path);
    if (!info.isFile())
        throw FileError::cannotOpen(path, QStringLiteral("not a regular file"));
    if (info.size() > TextFile::largestReadableFile())
        throw FileError::tooLarge(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError::cannotOpen(path);
    sink.expectSize(info.size());
    for (;;) {
        const qint64 got = file.read(sink.space(TextFile::ReadPieceSize), TextFile::ReadPieceSize);
        sink.commit(qsizetype(qMax<qint64>(got, 0)));
        if (got < 0)
            throw FileError::cannotOpen(path);
        if (got == 0)
            break;
    }
}

bool syncedToDisk(QSaveFile &)
{
    return true;
}

bool mayReplace(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() || (!info.exists() && !info.isSymLink());
}

#endif

} // namespace

namespace TextFile {

void readInto(const QString &path, ByteSink &sink)
{
    if (path.isEmpty())
        throw FileError::cannotOpen(path);
    try {
        readFile(path, sink);
    } catch (const std::bad_alloc &) {
        throw FileError::tooLarge(path);
    }
}

QByteArray readBytes(const QString &path)
{
    ArraySink sink;
    readInto(path, sink);
    return sink.takeBytes();
}

TextCodec::Decoded readText(const QString &path)
{
    const QByteArray bytes = readBytes(path);
    try {
        return TextCodec::decode(bytes);
    } catch (const std::bad_alloc &) {
        throw FileError::tooLarge(path);
    }
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    // A save puts a new file in the old one's place, or in the place of
    // whatever a link there leads to. Another program may have put a FIFO, a
    // device or a folder there, or a link to one, since the file was read:
    // that is never replaced.
    if (path.isEmpty() || !mayReplace(path))
        throw FileError::cannotCreate(path);
    if (FileNames::hasRawBytes(path)) {
        if (!FileNames::writeNative(path, bytes))
            throw FileError::cannotCreate(path);
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError::cannotCreate(path);
    // A text smaller than QSaveFile's buffer reaches the disk only inside
    // commit(), which does not check that last write: on a full disk it would
    // put an empty file in the old one's place. So every step is checked
    // here, and the old file is replaced only after all of them succeeded.
    const bool written = file.write(bytes) == bytes.size() && file.flush() && syncedToDisk(file) &&
                         file.error() == QFileDevice::NoError;
    // Looked at again at the last moment: the write may have taken a while.
    if (!written || !mayReplace(path)) {
        file.cancelWriting();
        throw FileError::cannotCreate(path);
    }
    if (!file.commit())
        throw FileError::cannotCreate(path);
}

QByteArray withCrLf(const QByteArray &bytes)
{
    const char *text = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype bareEnds = 0;
    for (qsizetype i = nextBareLineEnd(text, 0, n); i < n; i = nextBareLineEnd(text, i + 1, n))
        ++bareEnds;
    if (bareEnds == 0)
        return bytes;
    // Each bare end grows by one byte; the text between them is copied whole.
    QByteArray out(n + bareEnds, Qt::Uninitialized);
    char *o = out.data();
    qsizetype copied = 0;
    for (qsizetype i = nextBareLineEnd(text, 0, n); i < n; i = nextBareLineEnd(text, i + 1, n)) {
        std::memcpy(o, text + copied, size_t(i - copied));
        o += i - copied;
        *o++ = '\r';
        *o++ = '\n';
        copied = i + 1;
    }
    std::memcpy(o, text + copied, size_t(n - copied));
    return out;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

qint64 availableMemory()
{
#ifdef Q_OS_LINUX
    if (std::FILE *meminfo = std::fopen("/proc/meminfo", "re")) {
        char line[256];
        long long kilobytes = -1;
        while (kilobytes < 0 && std::fgets(line, sizeof line, meminfo)) {
            if (std::sscanf(line, "MemAvailable: %lld kB", &kilobytes) != 1)
                kilobytes = -1;
        }
        std::fclose(meminfo);
        if (kilobytes >= 0)
            return kilobytes * 1024;
    }
#endif
#if defined(Q_OS_UNIX) && defined(_SC_AVPHYS_PAGES)
    const long pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return qint64(pages) * pageSize;
#endif
    return std::numeric_limits<qint64>::max();
}

qint64 largestReadableFile()
{
    return availableMemory() / MemoryPerFileByte;
}

} // namespace TextFile
