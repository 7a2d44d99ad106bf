#include "editor/EditorPreferences.h"

#include "core/UserSettings.h"

namespace {

const QString LineNumbersKey = QStringLiteral("Editor/LineNumbers");

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
