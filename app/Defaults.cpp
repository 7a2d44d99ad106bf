#include "app/Defaults.h"

#include "core/PathHelpers.h"

#include <QDir>
#include <QFileInfo>

namespace Defaults {

EngineDefaults searchPath(const QString &pathVariable)
{
    const QStringList folders = pathVariable.split(QLatin1Char(':'));
    for (const QString &folder : folders) {
        // An empty or relative entry would name whatever folder the desktop
        // happened to start us in.
        if (folder.isEmpty() || QDir::isRelativePath(folder))
            continue;
        const QFileInfo engine(QDir(folder).filePath(QStringLiteral("quelm")));
        if (!engine.isFile() || !engine.isExecutable())
            continue;
        const QString enginePath = engine.absoluteFilePath();
        QString helpFilePath = QDir(engine.absolutePath()).filePath(QStringLiteral("quelm.hlp"));
        // A quelm linked into a bin folder keeps its help file beside the real program.
        const QFileInfo target(engine.canonicalFilePath());
        const QString targetHelp = QDir(target.absolutePath()).filePath(QStringLiteral("quelm.hlp"));
        if (!Paths::fileExists(helpFilePath) && Paths::fileExists(targetHelp))
            helpFilePath = targetHelp;
        return {enginePath, helpFilePath};
    }
    return {};
}

EngineDefaults engineDefaults()
{
#ifdef Q_OS_WIN
    return {QStringLiteral("c:\\quelm63\\quelm.exe"), QStringLiteral("c:\\quelm63\\quelm.hlp")};
#else
    return searchPath(qEnvironmentVariable("PATH"));
#endif
}

namespace {

const char NoEngineHint[] = "No Quelm engine found: choose one under File, Preferences.";

} // namespace

QString startUpStatus(bool settingsFileFound, const QString &enginePath)
{
    if (settingsFileFound || Paths::fileExists(enginePath))
        return QStringLiteral("Ready.");
    return QLatin1String(NoEngineHint);
}

QString statusAfterPreferences(const QString &current, const QString &enginePath)
{
    return current == QLatin1String(NoEngineHint) ? startUpStatus(false, enginePath) : current;
}

} // namespace Defaults
