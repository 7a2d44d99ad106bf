#pragma once

#include "documents/EditorWindow.h"

// The command window: the command file that the engine runs. It lives as
// long as the frame.
class TCommandEditForm : public TEditForm
{
    Q_OBJECT

public:
    explicit TCommandEditForm(const WindowServices &services, QWidget *parent = nullptr);

protected:
    void OpenButtonClick() override;
    void RunButtonClick() override;
    bool FormClose() override { return false; }
};
