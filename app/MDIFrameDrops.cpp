// Files dropped on the frame: each opens where a double-click in the
// explorer would open it, one after another.
#include "app/MDIFrame.h"
#include "core/FileNames.h"
#include "core/PathHelpers.h"
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

// Why the command and output files of a drop did not open: the run in
// progress holds their windows, as it holds their open commands.
QString heldDuringRunText(const QStringList &paths)
{
    QStringList names;
    for (const QString &path : paths)
        names.append(FileNames::forDisplay(Paths::filePart(path)));
    return QStringLiteral("Not opened while Quelm runs, which holds the command and output windows: %1.")
        .arg(names.join(QStringLiteral(", ")));
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
    QStringList held;
    for (const QString &path : paths) {
        const Explorer::TargetWindow target =
            Explorer::windowForFile(path, CommandFileExtension, OutputFileExtension);
        if (target != Explorer::TargetWindow::Another && EngineRunning()) {
            held.append(path);
            continue;
        }
        switch (target) {
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
    if (!held.isEmpty())
        setStatusNote(heldDuringRunText(held));
}
