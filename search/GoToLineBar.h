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

private:
    QLineEdit *m_lineText = nullptr;
    QLabel *m_message = nullptr;
};
