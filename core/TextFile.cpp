#include "core/TextFile.h"

#include "core/FileError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <limits>
#include <new>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The editor's text, a decoded copy and the file's bytes all live at once
// while a file is loaded.
constexpr qint64 MemoryPerFileByte = 4;

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

QByteArray readOpenFile(int fd, const QString &path)
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

    QByteArray bytes(qsizetype(info.st_size), Qt::Uninitialized);
    const qint64 first = readUpTo(fd, bytes.data(), bytes.size());
    if (first < 0)
        throw FileError::cannotOpen(path);
    bytes.truncate(qsizetype(first));
    // A file that grows while it is read, or one that tells no size (as
    // /proc's do), is read on to its end, as long as it stays in bounds.
    constexpr qint64 Step = qint64(64) * 1024;
    char step[Step];
    for (bool more = first == info.st_size; more;) {
        const qint64 got = readUpTo(fd, step, Step);
        if (got < 0)
            throw FileError::cannotOpen(path);
        more = got > 0;
        if (bytes.size() + got > limit)
            throw FileError::tooLarge(path);
        bytes.append(step, qsizetype(got));
    }
    return bytes;
}

QByteArray readFile(const QString &path)
{
    // Opened without waiting, then checked on the open file itself: a FIFO
    // put in the file's place after any earlier check still cannot stop the
    // program.
    const Descriptor file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.fd() < 0)
        throw FileError::cannotOpen(path);
    return readOpenFile(file.fd(), path);
}

bool syncedToDisk(QSaveFile &file)
{
    // Some file systems cannot sync; that is no failure of the write.
    return ::fsync(file.handle()) == 0 || errno == EINVAL || errno == ENOTSUP;
}

#else

QByteArray readFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        throw FileError::cannotOpen(path, QStringLiteral("not a regular file"));
    if (info.size() > TextFile::largestReadableFile())
        throw FileError::tooLarge(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError::cannotOpen(path);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError::cannotOpen(path);
    return bytes;
}

bool syncedToDisk(QSaveFile &)
{
    return true;
}

#endif

} // namespace

namespace TextFile {

QByteArray readBytes(const QString &path)
{
    if (path.isEmpty())
        throw FileError::cannotOpen(path);
    try {
        return readFile(path);
    } catch (const std::bad_alloc &) {
        throw FileError::tooLarge(path);
    }
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
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly))
        throw FileError::cannotCreate(path);
    // A text smaller than QSaveFile's buffer reaches the disk only inside
    // commit(), which does not check that last write: on a full disk it would
    // put an empty file in the old one's place. So every step is checked
    // here, and the old file is replaced only after all of them succeeded.
    const bool written = file.write(bytes) == bytes.size() && file.flush() && syncedToDisk(file) &&
                         file.error() == QFileDevice::NoError;
    if (!written) {
        file.cancelWriting();
        throw FileError::cannotCreate(path);
    }
    if (!file.commit())
        throw FileError::cannotCreate(path);
}

QByteArray withCrLf(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 32);
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c == '\r') {
            out.append("\r\n");
            if (i + 1 < n && bytes.at(i + 1) == '\n')
                ++i;
        } else if (c == '\n') {
            out.append("\r\n");
        } else {
            out.append(c);
        }
    }
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
