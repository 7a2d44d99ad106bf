#include "NativeFiles.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace NativeFiles {

bool write(const QByteArray &path, const QByteArray &bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
}

QByteArray read(const QByteArray &path)
{
    QFile file;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return QByteArray();
    return file.readAll();
}

QList<QByteArray> names(const QString &folder)
{
    QList<QByteArray> found;
    DIR *dir = opendir(QFile::encodeName(folder).constData());
    while (const dirent *entry = dir ? readdir(dir) : nullptr) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            found.append(name);
    }
    if (dir)
        closedir(dir);
    return found;
}

} // namespace NativeFiles
