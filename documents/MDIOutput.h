#pragma once

#include "documents/EditorWindow.h"

// The output window: the output file that a run wrote. It lives as long as
// the frame.
class TOutputEditForm : public TEditForm
{
    Q_OBJECT

public:
    explicit TOutputEditForm(const WindowServices &services, QWidget *parent = nullptr);

protected:
    bool FormClose() override { return false; }
};
