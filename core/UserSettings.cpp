#include "core/UserSettings.h"

QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ostrel"),
                     QStringLiteral("Ostrel"));
}
