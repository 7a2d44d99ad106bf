// The frame's session: the windows that ostrel.ini does not hold, remembered
// at the end and brought back after the next start-up, one at a time.
#include "app/MDIFrame.h"
#include "core/FileNames.h"
#include "core/IniFile.h"
#include "core/PathHelpers.h"
#include "core/UserSettings.h"
#include "documents/DocumentWindows.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "explorer/MDIExplorer.h"
#include "help/MDIHelp.h"
#include "ui/StatusProgress.h"

#include <QComboBox>
#include <QDockWidget>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// How many gone files the status line names before it counts the rest.
constexpr int GoneNamesShown = 3;
// How long the session waits for the frame's first paint.
constexpr int FirstPaintWaitMs = 500;
// While the session comes back the user may already work: a file that takes
// longer than this to load shows its progress and lets the user's clicks
// and keys through while it loads.
constexpr int RestoreProgressAfterMs = 40;

Session::Window windowOf(const TEditForm &window)
{
    if (window.isUntitled())
        return {};
    const TextEditor &editor = *window.editor();
    return {window.FileName, editor.caretLine() + 1, int(editor.place().firstLine) + 1,
            window.windowBounds()};
}

// Where the user was: the caret's line, and the same first line in view.
void applyPlace(TEditForm &window, const Session::Window &saved)
{
    if (saved.caretLine <= 0 || window.FileName != saved.path)
        return;
    TextEditor &editor = *window.editor();
    editor.goToLine(saved.caretLine, 1);
    TextEditor::Place place = editor.place();
    place.firstLine = std::max(0, saved.topLine - 1);
    editor.setPlace(place);
}

QList<QRect> screenAreas()
{
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    return screens;
}

void applyBounds(QWidget *frame, const QRect &bounds)
{
    if (frame && bounds.isValid() && plausibleChildBounds(bounds, screenAreas()))
        frame->setGeometry(bounds);
}

// A file that can no longer be read would greet the user with an error box
// at start-up: it is named with the gone ones instead.
bool readableFile(const QString &path)
{
#ifdef Q_OS_UNIX
    return Paths::fileExists(path) && ::access(FileNames::toNative(path).constData(), R_OK) == 0;
#else
    return Paths::fileExists(path);
#endif
}

QString goneText(const QStringList &paths)
{
    QStringList names;
    for (const QString &path : paths.mid(0, GoneNamesShown))
        names.append(FileNames::forDisplay(Paths::filePart(path)));
    QString text = names.join(QStringLiteral(", "));
    if (paths.size() > GoneNamesShown)
        text += QStringLiteral(" and %1 more").arg(paths.size() - GoneNamesShown);
    return QStringLiteral("Not reopened, gone or unreadable since the last session: %1.").arg(text);
}

} // namespace

Session::State TFrameForm::sessionNow() const
{
    Session::State state;
    state.maximised = isMaximized();
    state.command = windowOf(*m_commandWindow);
    state.output = windowOf(*m_outputWindow);
    const TMasterEditForm *master = MasterWindow();
    if (master && !master->isUntitled())
        state.master = windowOf(*master);
    const QList<TAnotherEditForm *> others = AnotherWindows();
    for (const TAnotherEditForm *window : others)
        state.others.append(windowOf(*window));
    if (m_helpWindow) {
        state.helpOpen = true;
        state.helpKeyWord = m_helpWindow->keyWordCombo()->currentText();
        state.helpBounds = m_helpWindow->parentWidget()->geometry();
    }
    state.explorerFilter = m_explorerWindow ? m_explorerWindow->filterIndex() : -1;
    state.runLogShown = !m_runLogDock->isHidden();

    const QMdiSubWindow *active = m_mdiArea->activeSubWindow();
    const QWidget *child = active ? active->widget() : nullptr;
    if (child == m_commandWindow)
        state.active = Session::Active::Command;
    else if (child == m_outputWindow)
        state.active = Session::Active::Output;
    else if (child && child == m_explorerWindow)
        state.active = Session::Active::Explorer;
    else if (child && child == m_helpWindow)
        state.active = Session::Active::Help;
    else if (child && child == master)
        state.active = Session::Active::Master;
    for (int i = 0; i < others.size(); ++i) {
        if (child == others.at(i)) {
            state.active = Session::Active::Another;
            state.activeAnother = i;
        }
    }
    return state;
}

void TFrameForm::keepSession()
{
    // A session not yet all back would be remembered without its rest.
    if (!m_sessionKept || m_restoring)
        return;
    QSettings settings = userSettings();
    Session::write(settings, sessionNow());
}

void TFrameForm::restoreSession()
{
    QSettings settings = userSettings();
    const std::optional<Session::State> session = m_sessionKept ? Session::read(settings) : std::nullopt;
    if (!session) {
        QTimer::singleShot(0, this, &TFrameForm::sessionRestored);
        return;
    }
    // Before the frame is first painted, so that it does not show small first.
    if (session->maximised)
        setWindowState(windowState() | Qt::WindowMaximized);

    m_restoring = true;
    m_progressAfter = m_progress->showAfter();
    m_progress->setShowAfter(RestoreProgressAfterMs);
    m_restoreSteps.append([this, session] { restoreFirstSteps(*session); });
    if (session->master)
        m_restoreSteps.append([this, session] { restoreEditorWindow(*session->master, true); });
    for (const Session::Window &window : session->others)
        m_restoreSteps.append([this, window] { restoreEditorWindow(window, false); });
    m_restoreSteps.append([this, session] { finishSessionRestore(*session); });
    // The frame is painted first, with the windows of the start-up: the
    // user sees the program at once, and the rest follows.
    if (QWindow *window = windowHandle())
        window->installEventFilter(this);
    // A frame never shown on the screen (started minimised) is no reason
    // to leave the session out.
    QTimer::singleShot(FirstPaintWaitMs, this, &TFrameForm::startRestoreSteps);
}

bool TFrameForm::eventFilter(QObject *watched, QEvent *event)
{
    // Before the window handles it, which paints the frame; the steps
    // begin on the next turn, after that paint.
    if (watched == windowHandle() && event->type() == QEvent::Expose) {
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, &TFrameForm::startRestoreSteps);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrameForm::startRestoreSteps()
{
    if (m_restoreStarted)
        return;
    m_restoreStarted = true;
    restoreNextStep();
}

void TFrameForm::restoreNextStep()
{
    if (m_restoreSteps.isEmpty())
        return;
    const std::function<void()> step = m_restoreSteps.takeFirst();
    step();
    if (!m_restoreSteps.isEmpty())
        QTimer::singleShot(0, this, &TFrameForm::restoreNextStep);
}

void TFrameForm::restoreFirstSteps(const Session::State &session)
{
    // A file named on the command line shows its own place, not the session's.
    const auto named = [this](const QString &path) {
        return std::any_of(m_arguments.begin(), m_arguments.end(),
                           [&path](const FileAtLine &file) { return file.path == path; });
    };
    if (!named(session.command.path))
        applyPlace(*m_commandWindow, session.command);
    if (!named(session.output.path))
        applyPlace(*m_outputWindow, session.output);
    if (m_explorerWindow)
        m_explorerWindow->setFilterIndex(session.explorerFilter);
    if (session.runLogShown)
        m_runLogDock->show();
    // The help window only with its file: restoring says nothing in a box.
    if (session.helpOpen && !m_helpWindow && Paths::fileExists(HelpFilePath)) {
        const QString status = statusText();
        Contents1Click();
        setStatusText(status);
        if (m_helpWindow) {
            applyBounds(m_helpWindow->parentWidget(), session.helpBounds);
            if (!session.helpKeyWord.isEmpty())
                m_helpWindow->showKeyWord(session.helpKeyWord);
        }
    }
}

void TFrameForm::restoreEditorWindow(const Session::Window &saved, bool master)
{
    if (saved.path.isEmpty())
        return;
    if (!readableFile(saved.path)) {
        m_goneFiles.append(saved.path);
        return;
    }
    // Open already: a file named on the command line wins.
    for (const FileAtLine &file : std::as_const(m_arguments)) {
        if (file.path == saved.path && !master)
            return;
    }
    TEditForm *window = nullptr;
    if (master) {
        m_documents->restoreMaster(saved.path);
        window = MasterWindow();
    } else {
        m_documents->restoreAnother(saved.path);
        const QList<TAnotherEditForm *> others = AnotherWindows();
        window = others.isEmpty() ? nullptr : others.constLast();
    }
    if (!window || window->FileName != saved.path)
        return;
    applyBounds(window->parentWidget(), saved.bounds);
    applyPlace(*window, saved);
}

void TFrameForm::finishSessionRestore(const Session::State &session)
{
    TChildForm *active = nullptr;
    switch (session.active) {
    case Session::Active::Command:
        active = m_commandWindow;
        break;
    case Session::Active::Output:
        active = m_outputWindow;
        break;
    case Session::Active::Explorer:
        active = m_explorerWindow;
        break;
    case Session::Active::Help:
        active = m_helpWindow;
        break;
    case Session::Active::Master:
        active = MasterWindow();
        break;
    case Session::Active::Another: {
        const QString path = session.others.value(session.activeAnother).path;
        for (TAnotherEditForm *window : AnotherWindows()) {
            if (window->FileName == path)
                active = window;
        }
        break;
    }
    case Session::Active::Other:
        break;
    }
    if (m_argumentWindow)
        m_mdiArea->setActiveSubWindow(m_argumentWindow);
    else if (active)
        active->bringToFront();
    if (!m_goneFiles.isEmpty())
        setStatusNote(goneText(m_goneFiles));
    m_goneFiles.clear();
    m_progress->setShowAfter(m_progressAfter);
    m_restoring = false;
    emit sessionRestored();
    openWaitingFiles();
}
