#include "core/UserSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

namespace {

QString &folderOverride()
{
    static QString folder;
    return folder;
}

// Regular, or nothing at all (a link that leads nowhere is something).
bool regularOrAbsent(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() || (!info.exists() && !info.isSymLink());
}

std::unique_ptr<QTemporaryDir> &sessionFolder()
{
    static std::unique_ptr<QTemporaryDir> folder;
    return folder;
}

// Where a session whose settings file is left alone keeps its settings: a
// file of its own, gone when the program ends.
QString sessionFile()
{
    std::unique_ptr<QTemporaryDir> &folder = sessionFolder();
    if (!folder)
        folder = std::make_unique<QTemporaryDir>();
    return QDir(folder->path()).filePath(QStringLiteral("Ostrel.conf"));
}

} // namespace

QString userSettingsFile()
{
    const QString folder = folderOverride().isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                               : folderOverride();
    return QDir(folder).filePath(QStringLiteral("Ostrel/Ostrel.conf"));
}

QString userDataFolder()
{
    if (!folderOverride().isEmpty())
        return QDir(folderOverride()).filePath(QStringLiteral("Ostrel-data"));
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Ostrel"));
}

bool userSettingsUsable()
{
    const QString file = userSettingsFile();
    // Qt locks the file through this one while it writes, and reads it when
    // the lock is taken: it must not wait on a FIFO either.
    return regularOrAbsent(file) && regularOrAbsent(file + QStringLiteral(".lock"));
}

QString userSettingsLeftAloneText()
{
    return QStringLiteral("%1 is not a regular file: it is left alone, and Ostrel starts with its defaults.")
        .arg(QDir::toNativeSeparators(userSettingsFile()));
}

QSettings userSettings()
{
    return QSettings(userSettingsUsable() ? userSettingsFile() : sessionFile(), QSettings::NativeFormat);
}

void setUserSettingsFolder(const QString &folder)
{
    folderOverride() = folder;
    // Another folder is another user's start: nothing of the last session.
    sessionFolder().reset();
}
