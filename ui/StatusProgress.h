#pragma once

#include "core/WorkProgress.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

// The status line's progress bar with a Cancel button. Work that goes on
// longer than a moment shows it and lets the program repaint; meanwhile no
// window takes the user's input but Cancel (Escape cancels too), so nothing
// the work depends on can change under it. One piece of work at a time: work
// started during another shows nothing of its own.
class StatusProgress : public QWidget, public ProgressLine
{
    Q_OBJECT

public:
    explicit StatusProgress(QWidget *parent = nullptr);
    ~StatusProgress() override;
    StatusProgress(const StatusProgress &) = delete;
    StatusProgress &operator=(const StatusProgress &) = delete;

    std::unique_ptr<WorkProgress> start(const QString &what) override;

    // How long work runs before the bar shows; half a second unless set.
    void setShowAfter(int milliseconds) { m_showAfter = milliseconds; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Work;

    void showWork(const QString &what);
    void hideWork();
    void cancel();
    bool isMine(QObject *object) const;

    QLabel *m_label = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_cancelButton = nullptr;
    int m_showAfter = 500;
    Work *m_work = nullptr;
};
