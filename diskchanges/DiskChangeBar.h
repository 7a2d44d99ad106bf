#pragma once

#include "ui/InfoBar.h"

// The bar over an editor's text that says its file changed, went or was
// replaced by something that is not a file on disk,
// and lets the user take the file again (Reload) or keep the window's text
// (Keep).
class DiskChangeBar : public InfoBar
{
    Q_OBJECT

public:
    explicit DiskChangeBar(QWidget *parent);

    void showChanged();
    void showDeleted();
    void showNotAFile();

signals:
    void reloadClicked();
    void keepClicked();

private:
    QToolButton *m_reload = nullptr;
};
