#include "engine/CommandRun.h"

#include "core/StatusTexts.h"
#include "core/UserDialogs.h"
#include "documents/DocumentWindows.h"
#include "documents/FileFilters.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "engine/EngineLauncher.h"
#include "engine/OutputName.h"

#include <QDir>
#include <QTimer>

namespace {

const QString RunningStatus =
    QStringLiteral("Executing Quelm ... (close the DOS Window after Quelm has finished calculating)");

} // namespace

CommandRun::CommandRun(const RunContext &context, QObject *parent) : RunControl(context, parent)
{
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, &CommandRun::CheckQuelmActivation);
}

CommandRun::~CommandRun() = default;

void CommandRun::ExecQuelm()
{
    // A second start would replace, and so end, the engine of the first.
    if (m_running)
        return;
    if (!checkEnginePath())
        return;
    TCommandEditForm &window = m_context.documents.commandWindow();
    window.bringToFront();
    if (window.isUntitled()) {
        m_context.dialogs.error(m_context.dialogParent, ExecuteTitle,
                                QStringLiteral("The Command File Name is missing."));
        return;
    }

    emit statusChanged(QStringLiteral("Saving Command File"));
    if (!window.guarded([&window] { window.writeFile(); }))
        return;

    ShownFiles &files = m_context.files;
    files.OutputFileName =
        Engine::outputFileName(files.CommandFileName, m_context.settings.OutputFileExtension);
    enterFolderOf(files.CommandFileName);
    emit currentFolderChanged();

    if (!launcher().writeScript(m_context.scriptFolder, m_context.settings.EnginePath, files.CommandFileName,
                                files.OutputFileName)) {
        reportCannotExecute();
        return;
    }
    emit statusChanged(RunningStatus);
    std::unique_ptr<EngineRun> run = launcher().start(QDir::currentPath());
    if (!run) {
        reportCannotExecute();
        return;
    }

    m_process = std::move(run);
    m_timer->start();
    m_running = true;
    setLocked(true);
    emit started();
}

void CommandRun::CheckQuelmActivation()
{
    if (m_running && m_process && m_process->isRunning()) {
        emit statusChanged(RunningStatus);
        return;
    }
    m_timer->stop();
    // A tick left over after the end has nothing to end.
    if (!m_running)
        return;
    endRun();
}

void CommandRun::endRun()
{
    const bool engineRan = m_process && !m_process->engineNotExecuted();
    if (engineRan)
        showOutput();
    m_running = false;
    setLocked(false);
    if (engineRan)
        emit statusChanged(StatusTexts::Ready);
    else
        reportCannotExecute();
    emit finished();
}

void CommandRun::showOutput()
{
    TOutputEditForm &window = m_context.documents.outputWindow();
    QString &outputFileName = m_context.files.OutputFileName;
    const QString output = outputFileName;
    if (!showFile(window, output, Captions::Output)) {
        // The window still shows its earlier file, and the frame names that one.
        outputFileName = window.isUntitled() ? QString() : window.FileName;
        return;
    }
    // The end of a run lists its output again even when it is listed already,
    // unlike opening a file.
    window.historyInserted(output);
}

void CommandRun::setLocked(bool locked)
{
    m_context.documents.commandWindow().setRunLocked(locked);
    m_context.documents.outputWindow().setRunLocked(locked);
    emit lockChanged(locked);
}

void CommandRun::hold()
{
    m_heldOutputFileName = m_context.files.OutputFileName;
    m_timer->stop();
}

void CommandRun::resume()
{
    if (!m_running)
        return;
    m_context.files.OutputFileName = m_heldOutputFileName;
    m_timer->start();
}
