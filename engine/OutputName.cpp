#include "engine/OutputName.h"

#include "core/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace Engine {

QString outputFileName(const QString &commandFileName, const QString &outputExtension,
                       const QString &separators)
{
    return Paths::changeExtension(commandFileName, outputExtension, separators);
}

bool outputIsCommandFile(const QString &commandFileName, const QString &outputFileName)
{
    const QFileInfo command(commandFileName);
    const QFileInfo output(outputFileName);
    if (QDir::cleanPath(command.absoluteFilePath()) == QDir::cleanPath(output.absoluteFilePath()))
        return true;
#ifdef Q_OS_UNIX
    // The same file under two names: through a symbolic or a hard link.
    struct stat commandStat = {};
    struct stat outputStat = {};
    return ::stat(QFile::encodeName(commandFileName).constData(), &commandStat) == 0 &&
           ::stat(QFile::encodeName(outputFileName).constData(), &outputStat) == 0 &&
           commandStat.st_dev == outputStat.st_dev && commandStat.st_ino == outputStat.st_ino;
#else
    const QString canonical = command.canonicalFilePath();
    return !canonical.isEmpty() && canonical.compare(output.canonicalFilePath(), Qt::CaseInsensitive) == 0;
#endif
}

QString fileKey(const QString &path)
{
    const QFileInfo info(path);
    QString key = info.canonicalFilePath();
    if (key.isEmpty()) {
        // Not there yet: an output file before its first run.
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        key = folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                               : QDir(folder).filePath(info.fileName());
    }
#ifdef Q_OS_WIN
    key = key.toLower();
#endif
    return key;
}

void checkOutputWritable(const QString &outputFileName)
{
    QFile file(outputFileName);
    // Append: opening for writing alone would empty the file.
    if (outputFileName.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw FileError::cannotCreate(outputFileName);
}

} // namespace Engine
