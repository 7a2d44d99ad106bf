// The frame's Window menu: where new child windows go, tiling, cascading and
// lining up icons, and the list of open windows.
#include "app/MDIFrame.h"
#include "app/WindowLayout.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStyle>

QRect TFrameForm::placementFor(const QSize &designSize) const
{
    // A new window gets its design size, as far as the client area allows,
    // one cascade step further down than the window before it.
    const QSize area = m_mdiArea->viewport()->size();
    const QSize size = designSize.boundedTo(area);
    const int step = 24 * static_cast<int>(m_mdiArea->subWindowList().size() % 8);
    const int x = qBound(0, step, area.width() - size.width());
    const int y = qBound(0, step, area.height() - size.height());
    return QRect(QPoint(x, y), size);
}

void TFrameForm::updateWindowMenu()
{
    // The window list follows the last separator.
    const QList<QAction *> actions = m_windowMenu->actions();
    for (qsizetype i = actions.indexOf(m_windowListSeparator) + 1; i < actions.size(); ++i) {
        m_windowMenu->removeAction(actions.at(i));
        delete actions.at(i);
    }
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    m_windowListSeparator->setVisible(!windows.isEmpty());
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *sub = windows.at(i);
        // The child's own caption: the frame's title carries the unsaved
        // mark's placeholder.
        const QWidget *child = sub->widget();
        const QString text =
            child ? WindowLayout::listEntry(i + 1, child->windowTitle(), child->isWindowModified())
                  : WindowLayout::listEntry(i + 1, sub->windowTitle(), false);
        QAction *action = m_windowMenu->addAction(text);
        action->setCheckable(true);
        action->setChecked(sub == m_mdiArea->activeSubWindow());
        connect(action, &QAction::triggered, this, [this, sub] { m_mdiArea->setActiveSubWindow(sub); });
    }
}

QList<QMdiSubWindow *> TFrameForm::arrangedWindows(QMdiArea::WindowOrder order) const
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList(order)) {
        if (!sub->isVisible() || sub->isMinimized())
            continue;
        if (sub->isMaximized())
            sub->showNormal();
        windows.append(sub);
    }
    return windows;
}

void TFrameForm::placeWindows(const QList<QMdiSubWindow *> &windows, const QList<QRect> &places)
{
    for (qsizetype i = 0; i < windows.size(); ++i) {
        windows.at(i)->setGeometry(places.at(i));
        windows.at(i)->raise();
    }
}

void TFrameForm::TileVertical1Click()
{
    const QList<QMdiSubWindow *> windows = arrangedWindows(QMdiArea::CreationOrder);
    placeWindows(windows, WindowLayout::tiled(m_mdiArea->viewport()->rect(), int(windows.size()), true));
}

void TFrameForm::TileHorizontal1Click()
{
    const QList<QMdiSubWindow *> windows = arrangedWindows(QMdiArea::CreationOrder);
    placeWindows(windows, WindowLayout::tiled(m_mdiArea->viewport()->rect(), int(windows.size()), false));
}

void TFrameForm::Cascade1Click()
{
    // Bottom of the stack first, so that the active window ends on top.
    const QList<QMdiSubWindow *> windows = arrangedWindows(QMdiArea::StackingOrder);
    // One step is a title bar's height, so that every title stays in view.
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, m_mdiArea) +
                     style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, m_mdiArea);
    placeWindows(windows, WindowLayout::cascaded(m_mdiArea->viewport()->rect(), int(windows.size()), step));
}

void TFrameForm::Arrangeicons1Click()
{
    // Minimised windows line up along the bottom of the client area, left to
    // right, in rows that grow upwards.
    const QRect area = m_mdiArea->viewport()->rect();
    int x = 0;
    int row = 0;
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList()) {
        if (!sub->isMinimized())
            continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            ++row;
        }
        sub->move(x, area.height() - (row + 1) * size.height());
        x += size.width();
    }
}
