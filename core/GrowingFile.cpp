#include "core/GrowingFile.h"

#include <QFile>
#include <QScopeGuard>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Enough to tell a rewritten file by, for the price of one small read.
constexpr qsizetype KeptBytes = 64;

// Reads size bytes at offset into out; returns how many came.
qsizetype readAt(int fd, qint64 offset, char *out, qsizetype size)
{
    qsizetype done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, out + done, size_t(size - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

} // namespace

GrowingFile::News GrowingFile::read(qsizetype limit)
{
    News news;
    const QByteArray name = QFile::encodeName(m_path);
    // Looked at before it is opened: opening a FIFO would wake its writer.
    struct stat seen = {};
    if (::stat(name.constData(), &seen) != 0 || !S_ISREG(seen.st_mode))
        return news;
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return news;
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat opened = {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode))
        return news;
    news.isFile = true;
    news.size = opened.st_size;

    const bool sameFile = quint64(opened.st_dev) == m_device && quint64(opened.st_ino) == m_inode;
    bool restarted = m_offset > 0 && (!sameFile || opened.st_size < m_offset);
    if (!restarted && !m_lastBytes.isEmpty()) {
        QByteArray there(m_lastBytes.size(), Qt::Uninitialized);
        const qint64 at = m_offset - m_lastBytes.size();
        restarted = readAt(fd, at, there.data(), there.size()) != there.size() || there != m_lastBytes;
    }
    m_device = quint64(opened.st_dev);
    m_inode = quint64(opened.st_ino);
    if (restarted) {
        m_offset = 0;
        m_lastBytes.clear();
        news.change = Change::Restarted;
    }

    const qint64 left = qMax<qint64>(0, opened.st_size - m_offset);
    news.bytes.resize(qsizetype(qMin<qint64>(left, limit)));
    news.bytes.resize(readAt(fd, m_offset, news.bytes.data(), news.bytes.size()));
    m_offset += news.bytes.size();
    m_lastBytes = (m_lastBytes + news.bytes.right(KeptBytes)).right(KeptBytes);
    if (!restarted && !news.bytes.isEmpty())
        news.change = Change::Grew;
    return news;
}

void GrowingFile::skipTo(qint64 offset)
{
    m_offset = offset;
    m_lastBytes.clear();
}
