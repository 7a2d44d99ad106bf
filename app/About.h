#pragma once

#include <QDialog>

// The about box.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);

protected:
    // The box stands in the middle of the screen, not of the frame.
    void showEvent(QShowEvent *event) override;
};
