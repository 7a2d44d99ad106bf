#include "editor/EditorPreferences.h"

#include "core/UserSettings.h"

namespace {

const QString LineNumbersKey = QStringLiteral("Editor/LineNumbers");
const QString CompleteKeyWordsKey = QStringLiteral("Editor/CompleteKeyWords");

} // namespace

EditorPreferences::EditorPreferences(QObject *parent) : QObject(parent)
{
    m_lineNumbers = userSettings().value(LineNumbersKey, true).toBool();
    m_completeKeyWords = userSettings().value(CompleteKeyWordsKey, true).toBool();
}

void EditorPreferences::setLineNumbers(bool shown)
{
    if (shown == m_lineNumbers)
        return;
    m_lineNumbers = shown;
    userSettings().setValue(LineNumbersKey, shown);
    emit lineNumbersChanged(shown);
}

void EditorPreferences::setCompleteKeyWords(bool complete)
{
    if (complete == m_completeKeyWords)
        return;
    m_completeKeyWords = complete;
    userSettings().setValue(CompleteKeyWordsKey, complete);
    emit completeKeyWordsChanged(complete);
}
