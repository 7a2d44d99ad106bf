// The frame's side of the directory explorer: creating and closing it, and
// keeping it on the process's current folder.
#include "app/MDIFrame.h"
#include "documents/WindowServices.h"
#include "explorer/MDIExplorer.h"

#include <QAction>
#include <QMdiSubWindow>

void TFrameForm::createExplorer()
{
    auto *explorer = new TExplorerForm(*m_services);
    m_explorerWindow = explorer;
    m_viewCurrentDir->setChecked(true);
    addChild(explorer, QRect(4, 4, 158, frameGeometry().height() - 85));
    explorer->FollowCurrentDirectory();
}

void TFrameForm::ViewCurrentDir1Click()
{
    if (m_explorerWindow) {
        // Closing the form alone would leave its empty frame behind.
        m_explorerWindow->parentWidget()->close();
        return;
    }
    createExplorer();
}

void TFrameForm::showCurrentFolderInExplorer(bool withFiles)
{
    if (!m_explorerWindow)
        return;
    m_explorerWindow->FollowCurrentDirectory();
    if (withFiles)
        m_explorerWindow->RereadFileList();
}

void TFrameForm::applyExplorerBounds(bool open, const QRect &bounds)
{
    if (!m_explorerWindow)
        return;
    QWidget *sub = m_explorerWindow->parentWidget();
    if (!open) {
        sub->move(bounds.topLeft());
        sub->close();
    } else if (bounds.width() >= 100 && bounds.height() >= 100) {
        sub->setGeometry(bounds);
    }
}

QRect TFrameForm::explorerBounds() const
{
    return m_explorerWindow ? m_explorerWindow->parentWidget()->geometry() : QRect();
}
