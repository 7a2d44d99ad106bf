#pragma once

#include "documents/EditorWindow.h"

// The output window: the output file that a run wrote. It lives as long as
// the frame.
class TOutputEditForm : public TEditForm
{
    Q_OBJECT

public:
    explicit TOutputEditForm(const WindowServices &services, QWidget *parent = nullptr);

    // A mark at the text's lower right while a run has written output that
    // the user, reading further up, is not shown; a click on it goes there.
    void setNewOutputBelow(bool shown);
    bool newOutputBelow() const;

signals:
    // The user asked to go where the line's message points: a double-click
    // on it, Ctrl+Enter, or Enter while the text cannot be edited anyway
    // (during a run); in an editable text Enter stays a line end.
    void lineActivated(int line);

protected:
    bool FormClose() override { return false; }
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeNewOutputMark();

    QToolButton *m_newOutputMark = nullptr;
};
