#pragma once

#include <QString>

// The engine and help file paths that start-up gives the settings before the
// settings file is read.
struct EngineDefaults
{
    QString enginePath;
    QString helpFilePath;
};

namespace Defaults {

// The first executable named quelm in the folders of pathVariable (a PATH
// value, folders separated by ':'), with quelm.hlp beside it; both empty when
// there is none.
EngineDefaults searchPath(const QString &pathVariable);

// This platform's defaults: on Windows the engine's own install folder, elsewhere
// the search of the process's PATH.
EngineDefaults engineDefaults();

// The start-up status text: "Ready.", or, on a first start (no settings file)
// with no engine at enginePath, where to choose one.
QString startUpStatus(bool settingsFileFound, const QString &enginePath);

// The status text once the preferences are confirmed: the first start's hint
// goes when an engine has been chosen; any other text stays.
QString statusAfterPreferences(const QString &current, const QString &enginePath);

} // namespace Defaults
