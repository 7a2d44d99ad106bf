#include "engine/OutputName.h"

#include "core/FileError.h"
#include "core/FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Engine {

namespace {

// Symbolic links are followed this far at most, as the system does.
constexpr int MostLinksFollowed = 40;

// The path of a file that is not there: a symbolic link to a file still to
// be written leads to that file's path, so that the two paths compare equal.
QString missingFilePath(const QString &path)
{
    QFileInfo info(path);
    for (int i = 0; i < MostLinksFollowed && info.isSymLink(); ++i)
        info.setFile(info.symLinkTarget());
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : QDir(folder).filePath(info.fileName());
}

} // namespace

QString outputFileName(const QString &commandFileName, const QString &outputExtension,
                       const QString &separators)
{
    return Paths::changeExtension(commandFileName, outputExtension, separators);
}

FileKey fileKey(const QString &path)
{
    FileKey key;
    key.path = QFileInfo(path).canonicalFilePath();
    if (key.path.isEmpty())
        key.path = missingFilePath(path);
#ifdef Q_OS_UNIX
    struct stat info = {};
    if (::stat(FileNames::toNative(path).constData(), &info) == 0) {
        key.exists = true;
        key.device = quint64(info.st_dev);
        key.inode = quint64(info.st_ino);
    }
#else
    key.path = key.path.toLower();
#endif
    return key;
}

bool sameFile(const FileKey &a, const FileKey &b)
{
    return a.path == b.path || (a.exists && b.exists && a.device == b.device && a.inode == b.inode);
}

bool outputIsCommandFile(const QString &commandFileName, const QString &outputFileName)
{
    const QString command = QDir::cleanPath(QFileInfo(commandFileName).absoluteFilePath());
    const QString output = QDir::cleanPath(QFileInfo(outputFileName).absoluteFilePath());
    return command == output || sameFile(fileKey(commandFileName), fileKey(outputFileName));
}

void checkOutputWritable(const QString &outputFileName)
{
    if (outputFileName.isEmpty())
        throw FileError::cannotCreate(outputFileName);
#ifdef Q_OS_UNIX
    const QByteArray native = FileNames::toNative(outputFileName);
    // Only a regular file, or nothing, may stand there: opening a device may
    // already act on it.
    struct stat info = {};
    if (::stat(native.constData(), &info) == 0 && !S_ISREG(info.st_mode))
        throw FileError::cannotCreate(outputFileName);
    // Append: opening for writing alone would empty the file. Without
    // waiting, and checked again on the open file, for a FIFO that took the
    // file's place since.
    const int fd = ::open(native.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        throw FileError::cannotCreate(outputFileName);
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    if (!regular)
        throw FileError::cannotCreate(outputFileName);
#else
    const QFileInfo info(outputFileName);
    QFile file(outputFileName);
    if ((info.exists() && !info.isFile()) || !file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw FileError::cannotCreate(outputFileName);
#endif
}

} // namespace Engine
