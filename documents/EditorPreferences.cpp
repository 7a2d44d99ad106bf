#include "documents/EditorPreferences.h"

#include <QSettings>

namespace {

const QString LineNumbersKey = QStringLiteral("Editor/LineNumbers");

// The user's settings file of the program, whatever name the running
// executable gives the application.
QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ostrel"),
                     QStringLiteral("Ostrel"));
}

} // namespace

EditorPreferences::EditorPreferences(QObject *parent) : QObject(parent)
{
    m_lineNumbers = userSettings().value(LineNumbersKey, true).toBool();
}

void EditorPreferences::setLineNumbers(bool shown)
{
    if (shown == m_lineNumbers)
        return;
    m_lineNumbers = shown;
    userSettings().setValue(LineNumbersKey, shown);
    emit lineNumbersChanged(shown);
}
