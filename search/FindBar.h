#pragma once

#include "search/EditorBar.h"
#include "search/TextSearch.h"

class QLabel;
class QLineEdit;
class QToolButton;
class QWidget;

// Find and replace at the bottom of an editor window: Enter finds the next
// match, Shift+Enter the one before; what was not found is said in the bar.
// Replacing is offered while the text may be edited.
class FindBar : public EditorBar
{
    Q_OBJECT

public:
    FindBar(TextEditor *editor, QWidget *parent);

    // Shows the bar with the focus in its find box, which takes a selection
    // of one line as the text to find.
    void openFind();
    // The same with the replace row.
    void openReplace();
    // Both return whether a match is selected now; the bar shows itself to
    // say when nothing was found.
    bool findNext();
    bool findPrevious();
    void replace();
    void replaceAll();

    TextSearch::Options options() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void open(bool withReplace);
    void showReplace(bool shown);
    bool find(bool forward);
    void showResult(const TextSearch::Found &match);
    // Says so in the bar when the text to find is a regular expression that
    // cannot be read.
    bool readable();
    void setMessage(const QString &text);

    QLineEdit *m_findText = nullptr;
    QToolButton *m_matchCase = nullptr;
    QToolButton *m_wholeWord = nullptr;
    QToolButton *m_regularExpression = nullptr;
    QToolButton *m_wrapAround = nullptr;
    QLabel *m_message = nullptr;
    QLabel *m_replaceLabel = nullptr;
    QLineEdit *m_replaceText = nullptr;
    QWidget *m_replaceButtons = nullptr;
};
