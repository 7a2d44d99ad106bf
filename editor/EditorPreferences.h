#pragma once

#include <QObject>

// How the user likes the editor windows, kept across starts in the user's own
// settings (never in ostrel.ini), and shared by every editor window: a change
// in one reaches all.
class EditorPreferences : public QObject
{
    Q_OBJECT

public:
    explicit EditorPreferences(QObject *parent = nullptr);

    bool lineNumbers() const { return m_lineNumbers; }
    void setLineNumbers(bool shown);
    // Whether a keyword list offers itself after three typed characters
    // (Ctrl+Space offers it either way).
    bool completeKeyWords() const { return m_completeKeyWords; }
    void setCompleteKeyWords(bool complete);

signals:
    void lineNumbersChanged(bool shown);
    void completeKeyWordsChanged(bool complete);

private:
    bool m_lineNumbers = true;
    bool m_completeKeyWords = true;
};
