#include "app/RunPreferences.h"

#include <QSettings>

namespace RunPreferences {

namespace {

const QString AtOnceKey = QStringLiteral("Runs/AtOnce");
const QString LauncherKey = QStringLiteral("Runs/Launcher");
const QString BatchOptionsKey = QStringLiteral("Runs/BatchOptions");

} // namespace

RunSettings read(const QSettings &settings)
{
    RunSettings runs;
    bool isNumber = false;
    const int atOnce = settings.value(AtOnceKey).toInt(&isNumber);
    if (isNumber)
        runs.atOnce = qBound(RunSettings::MinAtOnce, atOnce, RunSettings::MaxAtOnce);
    runs.launcher = settings.value(LauncherKey).toString();
    runs.batchOptions = settings.value(BatchOptionsKey).toString();
    return runs;
}

void write(QSettings &settings, const RunSettings &runs)
{
    settings.setValue(AtOnceKey, runs.atOnce);
    settings.setValue(LauncherKey, runs.launcher);
    settings.setValue(BatchOptionsKey, runs.batchOptions);
}

} // namespace RunPreferences
