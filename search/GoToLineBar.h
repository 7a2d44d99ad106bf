#pragma once

#include "search/EditorBar.h"

class QLabel;
class QLineEdit;

// Asks for a line, or "line:column", and moves the caret there with the line
// in the middle of the view.
class GoToLineBar : public EditorBar
{
    Q_OBJECT

public:
    GoToLineBar(TextEditor *editor, QWidget *parent);

    // Shows the bar with the caret's line number selected in its box.
    void open();
    // Goes to the line typed; false, and a word in the bar, when it is none.
    bool go();
    // Whether the line that go went to is marked; the mark stays until the
    // caret moves.
    bool marksLine(long shownLine) const;

private:
    void markCaretLine();
    void clearMark();

    QLineEdit *m_lineText = nullptr;
    QLabel *m_message = nullptr;
    int m_marker = -1;
    // Where go put the caret, while the mark is shown.
    long m_markedCaret = -1;
};
