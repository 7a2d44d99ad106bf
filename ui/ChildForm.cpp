#include "ui/ChildForm.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

void TChildForm::bringToFront()
{
    auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!sub)
        return;
    if (sub->isMinimized())
        sub->showNormal();
    sub->show();
    if (sub->mdiArea())
        sub->mdiArea()->setActiveSubWindow(sub);
    sub->raise();
}

void TChildForm::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery() || !FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}
