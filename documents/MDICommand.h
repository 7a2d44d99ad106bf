#pragma once

#include "documents/EditorWindow.h"

// The frame's commands that run the engine on the command window's file and
// stop it; the command window's run and stop buttons show them.
struct RunCommands
{
    QAction *run = nullptr;
    QAction *stop = nullptr;
};

// The command window: the command file that the engine runs. It lives as
// long as the frame.
class TCommandEditForm : public TEditForm
{
    Q_OBJECT

public:
    TCommandEditForm(const WindowServices &services, const RunCommands &run, QWidget *parent = nullptr);

protected:
    bool FormClose() override { return false; }
};
