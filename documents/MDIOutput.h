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

protected:
    bool FormClose() override { return false; }

private:
    void placeNewOutputMark();

    QToolButton *m_newOutputMark = nullptr;
};
