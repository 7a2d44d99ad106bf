#include "engine/CommandRun.h"

#include "core/StatusTexts.h"
#include "documents/DocumentWindows.h"
#include "documents/FileFilters.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "engine/EngineLauncher.h"
#include "engine/OutputFollower.h"
#include "engine/OutputName.h"
#include "engine/RunEndNotice.h"
#include "engine/RunLog.h"

#include <QDir>
#include <QTimer>

CommandRun::CommandRun(const RunContext &context, QObject *parent) : RunControl(context, parent)
{
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, &CommandRun::CheckQuelmActivation);
}

CommandRun::~CommandRun() = default;

QString CommandRun::runningStatus()
{
    // On Windows the engine runs in a console window of its own, which is
    // the user's way to end it; elsewhere there is none, and Stop Quelm is.
#ifdef Q_OS_WIN
    return QStringLiteral("Executing Quelm ... (close the DOS Window after Quelm has finished calculating)");
#else
    return QStringLiteral("Executing Quelm ... (Execute, Stop Quelm ends it)");
#endif
}

void CommandRun::ExecQuelm()
{
    // A second start would replace, and so end, the engine of the first.
    if (m_running)
        return;
    TCommandEditForm &window = m_context.documents.commandWindow();
    if (!checkEnginePath(window.FileName))
        return;
    const std::optional<QStringList> words = launcherWords(window.FileName);
    if (!words)
        return;
    window.bringToFront();
    if (window.isUntitled()) {
        refuse(ExecuteTitle, QStringLiteral("The Command File Name is missing."), window.FileName);
        return;
    }
    const QString commandFile = m_context.documents.shownFiles().CommandFileName;
    const QString outputFile = Engine::outputFileName(commandFile, m_context.settings.OutputFileExtension);
    // Checked before anything is written, the command file above all.
    if (Engine::outputIsCommandFile(commandFile, outputFile)) {
        refuseOutputOverCommand(commandFile, outputFile);
        return;
    }
    // The end of the run replaces the output window's text.
    if (!m_context.documents.askToSaveOutput())
        return;

    emit statusChanged(QStringLiteral("Saving Command File"));
    bool written = false;
    if (!startStep(window, commandFile, [&window, &written] { written = window.writeFile(); }) || !written)
        return;
    m_context.documents.nameRunOutput(outputFile);
    enterFolderOf(commandFile);
    emit currentFolderChanged();
    if (!startStep(window, commandFile, [&outputFile] { Engine::checkOutputWritable(outputFile); }))
        return;

    if (!launcher().writeScript(m_context.scriptFolder, *words, m_context.settings.EnginePath, commandFile,
                                outputFile)) {
        reportCannotExecute(commandFile);
        return;
    }
    emit statusChanged(runningStatus());
    std::unique_ptr<EngineRun> run = launcher().start(QDir::currentPath());
    if (!run) {
        reportCannotExecute(commandFile);
        return;
    }

    m_logEntry = logRun(*run, commandFile);
    m_process = std::move(run);
    m_commandFile = commandFile;
    m_outputFile = outputFile;
    m_timer->start();
    m_running = true;
    setLocked(true);
    if (m_followsOutput)
        startFollowing();
    emit started();
}

void CommandRun::startFollowing()
{
    m_follower = std::make_unique<OutputFollower>(m_context.documents, m_outputFile);
    connect(m_follower.get(), &OutputFollower::noteChanged, this, &CommandRun::outputNoteChanged);
}

void CommandRun::setFollowsOutput(bool follows)
{
    m_followsOutput = follows;
    if (!m_running)
        return;
    if (follows && !m_follower) {
        startFollowing();
    } else if (!follows && m_follower) {
        m_follower->leave();
        m_follower.reset();
    }
}

void CommandRun::CheckQuelmActivation()
{
    if (m_running && m_process && m_process->isRunning()) {
        emit statusChanged(runningStatus());
        return;
    }
    m_timer->stop();
    // A tick left over after the end has nothing to end.
    if (!m_running)
        return;
    endRun();
}

void CommandRun::stop()
{
    if (m_running && m_process)
        m_process->stop();
}

void CommandRun::endRun()
{
    if (m_process)
        logEnd(*m_process, m_logEntry);
    // The output window takes the new output only once it may be edited again.
    m_context.documents.outputWindow().editor()->setReadOnly(false);
    showOutput();
    m_running = false;
    setLocked(false);
    emit statusChanged(StatusTexts::Ready);
    emit finished();
    if (m_process) {
        const RunOutcome outcome = m_process->outcome();
        m_context.endNotice.runEnded(m_commandFile, RunLog::howEnded(outcome), outcome.wallMs);
    }
}

void CommandRun::showOutput()
{
    DocumentWindows &documents = m_context.documents;
    TextEditor &editor = *documents.outputWindow().editor();
    std::optional<FileSnapshot> shownWhole;
    bool followedToEnd = false;
    if (m_follower) {
        followedToEnd = documents.showsRunOutput(m_outputFile) && editor.isAtEnd();
        shownWhole = m_follower->finish();
        m_follower.reset();
    }
    const bool shown = documents.showRunOutput(documents.shownFiles().OutputFileName, shownWhole);
    // A user who followed the output to its end stays there when the
    // whole file comes in.
    if (shown && !shownWhole && followedToEnd)
        editor.goToEnd();
}

void CommandRun::setLocked(bool locked)
{
    m_context.documents.commandWindow().setRunLocked(locked);
    m_context.documents.outputWindow().setRunLocked(locked);
    // Edits made now would be lost to the output that the end of the run loads.
    m_context.documents.outputWindow().editor()->setReadOnly(locked);
    emit lockChanged(locked);
}

void CommandRun::hold()
{
    m_heldOutputFileName = m_context.documents.shownFiles().OutputFileName;
    m_timer->stop();
    if (m_follower)
        m_follower->setHeld(true);
}

void CommandRun::resume()
{
    if (!m_running)
        return;
    m_context.documents.nameRunOutput(m_heldOutputFileName);
    m_timer->start();
    if (m_follower)
        m_follower->setHeld(false);
}
