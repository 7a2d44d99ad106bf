#pragma once

#include "documents/EditorWindow.h"

// The output window: the output file that a run wrote. It lives as long as
// the frame.
class TOutputEditForm : public TEditForm
{
    Q_OBJECT

public:
    explicit TOutputEditForm(QWidget *parent = nullptr);

    void makeUntitled();

    // The controls a command-file run locks.
    QList<QObject *> lockedDuringRun() const;

protected:
    void OpenButtonClick() override;
    void afterSaveAs() override;
    void FormClose(QCloseEvent *event) override;
};
