// The frame's side of the engine runs: creating them, their commands, the
// controls they lock, and the Run Log pane that shows what they report.
#include "app/MDIFrame.h"
#include "app/RunPreferences.h"
#include "core/UserSettings.h"
#include "engine/CommandRun.h"
#include "engine/EngineLauncher.h"
#include "engine/MasterRun.h"
#include "engine/RunEndNotice.h"
#include "engine/RunLog.h"
#include "engine/RunLogView.h"

#include <QAction>
#include <QDockWidget>
#include <QMenu>

namespace {

const QString RunLogHeightKey = QStringLiteral("RunLog/Height");
const QString FollowOutputKey = QStringLiteral("Runs/FollowOutput");

// A run's header, a few lines of complaint and its exit status, while the
// windows above keep most of the frame.
constexpr int RunLogLines = 6;

} // namespace

void TFrameForm::createRunLog()
{
    m_runLog = new RunLog(this);
    m_runLogDock = new QDockWidget(QStringLiteral("Run Log"), this);
    m_runLogDock->setObjectName(QStringLiteral("RunLog"));
    m_runLogDock->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    // Showing itself while the user types elsewhere must not take the keys.
    m_runLogDock->setAttribute(Qt::WA_ShowWithoutActivating);
    m_runLogDock->setFocusPolicy(Qt::NoFocus);
    auto *view = new RunLogView(*m_runLog, m_runLogDock);
    view->setObjectName(QStringLiteral("RunLogText"));
    m_runLogDock->setWidget(view);
    addDockWidget(Qt::BottomDockWidgetArea, m_runLogDock);
    m_runLogDock->hide();

    QAction *toggle = m_runLogDock->toggleViewAction();
    toggle->setText(QStringLiteral("Run &Log"));
    toggle->setObjectName(QStringLiteral("RunLog1"));
    const QList<QAction *> items = m_windowMenu->actions();
    const qsizetype after = items.indexOf(m_viewCurrentDir);
    m_windowMenu->insertAction(items.value(after + 1), toggle);

    // A run that has something to say shows the pane; one that has not
    // leaves it as the user left it.
    connect(m_runLog, &RunLog::errorOutputBegan, m_runLogDock, [this] {
        if (m_runLogDock->isHidden())
            m_runLogDock->show();
    });
    // Without a height of its own the pane would take its text's default
    // size, which covers the output window in a small frame.
    connect(m_runLogDock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible && !m_runLogSized)
            sizeRunLog();
    });
}

void TFrameForm::sizeRunLog()
{
    m_runLogSized = true;
    const auto *view = static_cast<const RunLogView *>(m_runLogDock->widget());
    bool stored = false;
    int height = userSettings().value(RunLogHeightKey).toInt(&stored);
    if (!stored || height <= 0) {
        // The title bar and the frame around the text.
        const int around = m_runLogDock->sizeHint().height() - view->sizeHint().height();
        height = view->heightForLines(RunLogLines) + around;
    }
    resizeDocks({m_runLogDock}, {height}, Qt::Vertical);
}

void TFrameForm::keepRunLogHeight()
{
    // A pane never opened has no height the user chose.
    if (m_runLogSized && !m_runLogDock->isFloating())
        userSettings().setValue(RunLogHeightKey, m_runLogDock->height());
}

void TFrameForm::createRuns()
{
    m_runSettings = RunPreferences::read(userSettings());
    m_runEndNotice = new RunEndNotice(this);
    const RunContext context{m_dialogs,    this,      *this,     m_runSettings,
                             *m_documents, dataDir(), *m_runLog, *m_runEndNotice};
    m_commandRun = new CommandRun(context, this);
    m_masterRun = new MasterRun(context, *m_commandRun, this);
    for (RunControl *run :
         {static_cast<RunControl *>(m_commandRun), static_cast<RunControl *>(m_masterRun)}) {
        run->setLauncher(*m_engineLauncher);
        connect(run, &RunControl::statusChanged, this, &TFrameForm::setStatusText);
        connect(run, &RunControl::currentFolderChanged, this, [this] { showCurrentFolderInExplorer(); });
    }
    connect(m_commandRun, &CommandRun::lockChanged, this, [this](bool locked) {
        m_runQuelm->setEnabled(!locked);
        m_stopQuelm->setEnabled(locked);
        // What the run held back may be opened now.
        if (!locked)
            setStatusNote(QString());
    });
    connect(m_commandRun, &CommandRun::outputNoteChanged, this, &TFrameForm::setStatusNote);
    createFollowOutput();
}

void TFrameForm::createFollowOutput()
{
    m_followOutput = new QAction(QStringLiteral("Follow Output"), this);
    m_followOutput->setObjectName(QStringLiteral("FollowOutput1"));
    m_followOutput->setCheckable(true);
    m_followOutput->setChecked(userSettings().value(FollowOutputKey, true).toBool());
    m_commandRun->setFollowsOutput(m_followOutput->isChecked());
    connect(m_followOutput, &QAction::toggled, this, [this](bool follows) {
        m_commandRun->setFollowsOutput(follows);
        userSettings().setValue(FollowOutputKey, follows);
    });
    m_executeMenu->addSeparator();
    m_executeMenu->addAction(m_followOutput);
}

QTimer *TFrameForm::timer() const
{
    return m_commandRun ? m_commandRun->timer() : nullptr;
}

bool TFrameForm::EngineRunning() const
{
    return m_commandRun && m_commandRun->isRunning();
}

EngineRun *TFrameForm::EngineProcess() const
{
    return m_commandRun ? m_commandRun->process() : nullptr;
}

QDockWidget *TFrameForm::runLogDock() const
{
    return m_runLogDock;
}

void TFrameForm::setEngineLauncher(std::unique_ptr<EngineLauncher> launcher)
{
    m_engineLauncher = std::move(launcher);
    if (m_commandRun) {
        m_commandRun->setLauncher(*m_engineLauncher);
        m_masterRun->setLauncher(*m_engineLauncher);
    }
}

void TFrameForm::setRunSettings(const RunSettings &runs)
{
    m_runSettings = runs;
    QSettings settings = userSettings();
    RunPreferences::write(settings, runs);
}

void TFrameForm::ExecQuelm()
{
    m_commandRun->ExecQuelm();
}

void TFrameForm::StopQuelm()
{
    m_commandRun->stop();
}

void TFrameForm::CheckQuelmActivation()
{
    m_commandRun->CheckQuelmActivation();
}

void TFrameForm::ExecMaster()
{
    m_masterRun->ExecMaster();
}
