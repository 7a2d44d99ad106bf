#pragma once

#include <QDialog>

// The preferences dialog: the engine and help file paths and the two file
// extensions.
class TPrefDialogForm : public QDialog
{
    Q_OBJECT

public:
    explicit TPrefDialogForm(QWidget *parent = nullptr);
};
