#include "SmallDisk.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

SmallDisk::SmallDisk(qint64 bytes)
{
    if (::geteuid() != 0) {
        m_skipReason = QStringLiteral("mounting a small tmpfs needs root");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0700";
    if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) != 0) {
        m_skipReason =
            QStringLiteral("cannot mount a tmpfs here: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_mounted = true;
}

SmallDisk::~SmallDisk()
{
    // Detached, so that a current folder left inside cannot keep it mounted.
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

QString SmallDisk::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString path = filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        qWarning("SmallDisk: cannot write %s", qPrintable(path));
    return path;
}

void SmallDisk::fill() const
{
    const int fd = ::open(QFile::encodeName(filePath(QStringLiteral(".filler"))).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    // Ever smaller pieces, until not even one byte fits.
    static const char zeros[64 * 1024] = {};
    for (size_t piece = sizeof zeros; piece > 0; piece /= 2) {
        while (::write(fd, zeros, piece) == ssize_t(piece)) {
        }
    }
    ::close(fd);
}
