#pragma once

#include "documents/EditorWindow.h"

// An other-file window: any text file, as many as the user opens.
class TAnotherEditForm : public TEditForm
{
    Q_OBJECT

public:
    explicit TAnotherEditForm(const WindowServices &services, QWidget *parent = nullptr);

    // The window's position in the frame's AnotherWindows, counted from 1.
    int AnotherIndex = 0;

    void OpenThisClick();
};
