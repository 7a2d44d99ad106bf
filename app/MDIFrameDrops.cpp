// Files from outside the frame: dropped on it, handed over by a second
// start, or picked under Recent Files. Each opens where a double-click in the
// explorer would open it, one after another.
#include "app/MDIFrame.h"
#include "core/FileNames.h"
#include "core/PathHelpers.h"
#include "documents/DocumentWindows.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "explorer/ExplorerRules.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWindow>

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
    FilesAtLines files;
    for (const QString &path : paths)
        files.append(FileAtLine{path});
    openFromOutside(files);
}

void TFrameForm::openFromOutside(const FilesAtLines &files)
{
    if (!m_documents)
        return;
    QStringList held;
    for (const FileAtLine &file : files) {
        const Explorer::TargetWindow target =
            Explorer::windowForFile(file.path, CommandFileExtension, OutputFileExtension);
        if (target != Explorer::TargetWindow::Another && EngineRunning()) {
            held.append(file.path);
            continue;
        }
        switch (target) {
        case Explorer::TargetWindow::Command:
            m_documents->openCommandAsked(file.path);
            DocumentWindows::showPlace(*m_commandWindow, file);
            break;
        case Explorer::TargetWindow::Output:
            m_documents->openOutputAsked(file.path);
            DocumentWindows::showPlace(*m_outputWindow, file);
            break;
        case Explorer::TargetWindow::Another: {
            m_documents->OpenAnother(file.path);
            const QList<TAnotherEditForm *> others = AnotherWindows();
            if (!others.isEmpty())
                DocumentWindows::showPlace(*others.constLast(), file);
            break;
        }
        }
    }
    if (!held.isEmpty())
        setStatusNote(heldDuringRunText(held));
}

void TFrameForm::openHandedFiles(const FilesAtLines &files, const QByteArray &activationToken)
{
    m_waitingFiles.append(HandedFiles{files, activationToken});
    openWaitingFiles();
}

void TFrameForm::openWaitingFiles()
{
    if (m_waitingFiles.isEmpty() || m_restoring)
        return;
    // A question or a master run's progress window waits for the user: the
    // files open once it is answered, not under it.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(250, this, &TFrameForm::openWaitingFiles);
        return;
    }
    const HandedFiles handed = m_waitingFiles.takeFirst();
    comeToFront(handed.activationToken);
    openFromOutside(handed.files);
    if (!m_waitingFiles.isEmpty())
        QTimer::singleShot(0, this, &TFrameForm::openWaitingFiles);
}

void TFrameForm::comeToFront(const QByteArray &activationToken)
{
    // On Wayland the desktop raises a window only for the token of the
    // start that asked for it; Qt takes it from here when it asks.
    if (!activationToken.isEmpty() && QGuiApplication::platformName() == QLatin1String("wayland"))
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void TFrameForm::RecentFileClick(const QString &path, bool master)
{
    if (master && !MasterWindow()) {
        m_documents->openMaster(path);
        return;
    }
    if (master && MasterWindow()->FileName == path) {
        MasterWindow()->bringToFront();
        return;
    }
    openFromOutside({FileAtLine{path}});
}
