#pragma once

#include "documents/EditorWindow.h"

// The master window: a list of command files that a master-file run runs one
// after another. At most one exists.
class TMasterEditForm : public TEditForm
{
    Q_OBJECT

public:
    // submit, the frame's Submit Master File to Cluster, gets a button
    // beside the run button when given.
    explicit TMasterEditForm(const WindowServices &services, QAction *submit = nullptr,
                             QWidget *parent = nullptr);
};
