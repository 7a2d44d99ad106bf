#include "core/PathHelpers.h"

#include "core/FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace Paths {

QString windowsSeparators()
{
    return QStringLiteral("\\/:");
}

QString posixSeparators()
{
    return QStringLiteral("/");
}

QString platformSeparators()
{
#ifdef Q_OS_WIN
    return windowsSeparators();
#else
    return posixSeparators();
#endif
}

qsizetype lastSeparator(const QString &path, const QString &separators)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (separators.contains(path.at(i)))
            return i;
    }
    return -1;
}

QString directoryPart(const QString &path, const QString &separators)
{
    return path.left(lastSeparator(path, separators) + 1);
}

QString filePart(const QString &path, const QString &separators)
{
    return path.mid(lastSeparator(path, separators) + 1);
}

QString extension(const QString &path, const QString &separators)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < lastSeparator(path, separators))
        return QString();
    return path.mid(dot);
}

QString changeExtension(const QString &path, const QString &newExtension, const QString &separators)
{
    const QString old = extension(path, separators);
    return path.left(path.size() - old.size()) + newExtension;
}

QString asciiLower(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return result;
}

namespace {

// An executable in PREFIX/bin beside PREFIX/share/ostrel was installed. Its
// folder may still be writable (root's /usr/bin), but files of ours there
// would be files that no package knows about.
bool isInstalled(const QString &homeDir)
{
    return QFileInfo(QDir(homeDir).filePath(QStringLiteral("../share/ostrel"))).isDir();
}

} // namespace

QString withTrailingSeparator(const QString &folder)
{
    const QString native = QDir::toNativeSeparators(folder);
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
}

QString dataFolder(const QString &homeDir)
{
    const QFileInfo home(homeDir);
    QString folder = homeDir;
    if (!home.isDir() || !home.isWritable() || isInstalled(homeDir)) {
        folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        QDir().mkpath(folder);
    }
    return withTrailingSeparator(folder);
}

QString absolutePath(const QString &path, const QString &base)
{
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(base).absoluteFilePath(path)));
}

QStringList absolutePaths(const QStringList &paths, const QString &base)
{
    QStringList result;
    result.reserve(paths.size());
    for (const QString &path : paths)
        result.append(absolutePath(path, base));
    return result;
}

bool fileExists(const QString &path)
{
    // A FIFO or a device is no file to open: reading one would wait for a
    // writer or never end.
    if (path.isEmpty())
        return false;
#ifdef Q_OS_UNIX
    // By the name's own bytes: QFileInfo cannot reach a name that is not UTF-8.
    struct stat info = {};
    return ::stat(FileNames::toNative(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
#else
    return QFileInfo(path).isFile();
#endif
}

} // namespace Paths
