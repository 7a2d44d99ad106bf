#include "app/RunPreferences.h"

#include <QStandardPaths>

namespace RunPreferences {

namespace {

const QString AtOnceKey = QStringLiteral("Runs/AtOnce");
const QString LauncherKey = QStringLiteral("Runs/Launcher");

} // namespace

std::unique_ptr<QSettings> openUserSettings()
{
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QSettings::UserScope, QStringLiteral("Ostrel"),
                                       QStringLiteral("Ostrel"));
#else
    // The file QSettings would choose, named here: QSettings settles its
    // folder once per process, while the configuration folder is looked up
    // anew each time (a test gives every frame a home of its own).
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::make_unique<QSettings>(folder + QStringLiteral("/Ostrel/Ostrel.conf"), QSettings::IniFormat);
#endif
}

RunSettings read(const QSettings &settings)
{
    RunSettings runs;
    bool isNumber = false;
    const int atOnce = settings.value(AtOnceKey).toInt(&isNumber);
    if (isNumber)
        runs.atOnce = qBound(RunSettings::MinAtOnce, atOnce, RunSettings::MaxAtOnce);
    runs.launcher = settings.value(LauncherKey).toString();
    return runs;
}

void write(QSettings &settings, const RunSettings &runs)
{
    settings.setValue(AtOnceKey, runs.atOnce);
    settings.setValue(LauncherKey, runs.launcher);
}

} // namespace RunPreferences
