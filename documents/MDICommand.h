#pragma once

#include "documents/EditorWindow.h"

// The command window: the command file that the engine runs. It lives as
// long as the frame.
class TCommandEditForm : public TEditForm
{
    Q_OBJECT

public:
    explicit TCommandEditForm(QWidget *parent = nullptr);

    // Back to an untitled, empty, clean text (New Command File).
    void makeUntitled();

    // The controls a command-file run locks.
    QList<QObject *> lockedDuringRun() const;

protected:
    void OpenButtonClick() override;
    void RunButtonClick() override;
    void afterSaveAs() override;
    void FormClose(QCloseEvent *event) override;
};
