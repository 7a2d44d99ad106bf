#pragma once

#include <QFrame>

class QLabel;
class QToolButton;

// The bar over an editor's text that says its file changed or went on disk,
// and lets the user take the file again (Reload) or keep the window's text
// (Keep).
class DiskChangeBar : public QFrame
{
    Q_OBJECT

public:
    explicit DiskChangeBar(QWidget *parent);

    void showChanged();
    void showDeleted();

signals:
    void reloadClicked();
    void keepClicked();

private:
    QLabel *m_message = nullptr;
    QToolButton *m_reload = nullptr;
};
