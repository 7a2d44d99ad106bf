#include "engine/CommandRun.h"

#include "app/MDIFrame.h"
#include "documents/FileFilters.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "engine/EngineLauncher.h"
#include "engine/OutputName.h"
#include "engine/RunSteps.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QSignalBlocker>
#include <QTimer>
#include <QWidget>

namespace {

const QString RunningStatus =
    QStringLiteral("Executing Quelm ... (close the DOS Window after Quelm has finished calculating)");

void setEnabled(QObject *control, bool enabled)
{
    if (auto *action = qobject_cast<QAction *>(control))
        action->setEnabled(enabled);
    else if (auto *widget = qobject_cast<QWidget *>(control))
        widget->setEnabled(enabled);
}

} // namespace

void CommandRun::ExecQuelm()
{
    // A second start would replace, and so end, the engine of the first.
    if (m_frame.EngineRunning)
        return;
    if (!RunSteps::checkEnginePath(m_frame))
        return;
    TCommandEditForm &window = *m_frame.CommandWindow;
    window.bringToFront();
    if (window.FileName == TEditForm::UntitledName) {
        m_frame.dialogs().error(&m_frame, RunSteps::ExecuteTitle,
                                QStringLiteral("The Command File Name is missing."));
        return;
    }

    m_frame.setStatusText(QStringLiteral("Saving Command File"));
    if (!m_frame.guarded([&window] { window.writeFile(); }))
        return;

    m_frame.OutputFileName = Engine::outputFileName(m_frame.CommandFileName, m_frame.OutputFileExtension);
    RunSteps::enterFolderOf(m_frame.CommandFileName);
    m_frame.followCurrentDirectory(false);

    EngineLauncher &launcher = m_frame.engineLauncher();
    if (!launcher.writeScript(m_frame.dataDir(), m_frame.EnginePath, m_frame.CommandFileName,
                              m_frame.OutputFileName)) {
        RunSteps::reportCannotExecute(m_frame);
        return;
    }
    m_frame.setStatusText(RunningStatus);
    std::unique_ptr<EngineRun> run = launcher.start(QDir::currentPath());
    if (!run) {
        RunSteps::reportCannotExecute(m_frame);
        return;
    }

    m_frame.EngineProcess = std::move(run);
    m_frame.timer()->start();
    m_frame.EngineRunning = true;
    setLocked(true);
}

void CommandRun::CheckQuelmActivation()
{
    if (m_frame.EngineRunning && m_frame.EngineProcess && m_frame.EngineProcess->isRunning()) {
        m_frame.setStatusText(RunningStatus);
        return;
    }
    m_frame.timer()->stop();
    // A tick left over after the end has nothing to end.
    if (!m_frame.EngineRunning)
        return;
    endRun();
}

void CommandRun::endRun()
{
    const bool engineRan = m_frame.EngineProcess && !m_frame.EngineProcess->engineNotExecuted();
    if (engineRan)
        showOutput();
    m_frame.EngineRunning = false;
    setLocked(false);
    if (engineRan)
        m_frame.setStatusText(RunSteps::ReadyStatus);
    else
        RunSteps::reportCannotExecute(m_frame);
}

void CommandRun::showOutput()
{
    TOutputEditForm &window = *m_frame.OutputWindow;
    const QString output = m_frame.OutputFileName;
    if (!RunSteps::showFile(m_frame, window, output, Captions::Output)) {
        // The window still shows its earlier file, and the frame names that one.
        m_frame.OutputFileName = window.isUntitled() ? QString() : window.FileName;
        return;
    }
    // The end of a run lists its output again even when it is listed already,
    // unlike opening a file.
    QComboBox *history = window.fileCombo();
    const QSignalBlocker blocker(history);
    history->insertItem(0, output);
    history->setCurrentIndex(0);
}

void CommandRun::setLocked(bool locked)
{
    QList<QObject *> controls =
        m_frame.CommandWindow->lockedDuringRun() + m_frame.OutputWindow->lockedDuringRun();
    controls.append(m_frame.findChild<QAction *>(QStringLiteral("RunQuelm1")));
    for (QObject *control : std::as_const(controls))
        setEnabled(control, !locked);
}
