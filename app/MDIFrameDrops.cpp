// Files dropped on the frame: each opens where a double-click in the
// explorer would open it, one after another.
#include "app/MDIFrame.h"
#include "documents/DocumentWindows.h"
#include "explorer/ExplorerRules.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace {

// The local files among the dropped items; folders and whatever does not
// exist (anymore) are left out.
QStringList droppedFiles(const QMimeData &data)
{
    QStringList files;
    for (const QUrl &url : data.urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (QFileInfo(path).isFile())
            files.append(path);
    }
    return files;
}

} // namespace

void TFrameForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFiles(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TFrameForm::dragMoveEvent(QDragMoveEvent *event)
{
    if (!droppedFiles(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TFrameForm::dropEvent(QDropEvent *event)
{
    const QStringList files = droppedFiles(*event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    // Opening may ask whether to save; the drop is over first, so that the
    // program the files came from is not kept waiting for the answer.
    QMetaObject::invokeMethod(
        this, [this, files] { openDroppedFiles(files); }, Qt::QueuedConnection);
}

void TFrameForm::openDroppedFiles(const QStringList &paths)
{
    if (!m_documents)
        return;
    for (const QString &path : paths) {
        switch (Explorer::windowForFile(path, CommandFileExtension, OutputFileExtension)) {
        case Explorer::TargetWindow::Command:
            m_documents->openCommandAsked(path);
            break;
        case Explorer::TargetWindow::Output:
            m_documents->openOutputAsked(path);
            break;
        case Explorer::TargetWindow::Another:
            m_documents->OpenAnother(path);
            break;
        }
    }
}
