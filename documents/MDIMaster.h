#pragma once

#include "documents/EditorWindow.h"

// The master window: a list of command files that a master-file run runs one
// after another. At most one exists.
class TMasterEditForm : public TEditForm
{
    Q_OBJECT

public:
    explicit TMasterEditForm(const WindowServices &services, QWidget *parent = nullptr);
};
