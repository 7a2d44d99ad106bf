// The frame's side of the studies submitted to a Slurm cluster: the submit
// command, the Study pane, and what a job's and a study's end tell the user.
#include "app/MDIFrame.h"
#include "core/UserSettings.h"
#include "documents/DocumentWindows.h"
#include "engine/RunEndNotice.h"
#include "study/BatchSystem.h"
#include "study/JobLog.h"
#include "study/Studies.h"
#include "study/StudyView.h"
#include "study/SubmitMaster.h"

#include <QAction>
#include <QDateTime>
#include <QDockWidget>
#include <QFileInfo>
#include <QMenu>

namespace {

const QString PollSecondsKey = QStringLiteral("Study/PollSeconds");

} // namespace

void TFrameForm::createStudies()
{
    auto *cluster = new SlurmBatchSystem(this);
    m_studies = new Studies(*cluster, this);
    bool stored = false;
    const int seconds = userSettings().value(PollSecondsKey).toInt(&stored);
    m_studies->setPollSeconds(stored && seconds > 0 ? seconds : Studies::DefaultPollSeconds);

    const RunContext context{m_dialogs,    this,      *this,     m_runSettings,
                             *m_documents, dataDir(), *m_runLog, *m_runEndNotice};
    m_submitMaster = new SubmitMaster(context, *m_studies, this);
    connect(m_submitMaster, &RunControl::statusChanged, this, &TFrameForm::setStatusText);

    m_studyDock = new QDockWidget(QStringLiteral("Study"), this);
    m_studyDock->setObjectName(QStringLiteral("Study"));
    m_studyDock->setAttribute(Qt::WA_ShowWithoutActivating);
    m_studyView = new StudyView(*m_studies, *m_submitMaster, m_dialogs, m_studyDock);
    m_studyDock->setWidget(m_studyView);
    // Above the Run Log, so that a job's end written there leaves the table in sight.
    addDockWidget(Qt::BottomDockWidgetArea, m_studyDock, Qt::Vertical);
    m_studyDock->hide();

    QAction *toggle = m_studyDock->toggleViewAction();
    toggle->setText(QStringLiteral("&Study"));
    toggle->setObjectName(QStringLiteral("Study1"));
    const QList<QAction *> items = m_windowMenu->actions();
    const qsizetype after = items.indexOf(m_runLogDock->toggleViewAction());
    m_windowMenu->insertAction(items.value(after + 1), toggle);

    connect(m_submitMaster, &SubmitMaster::studySubmitted, this, [this] {
        m_studyDock->show();
        m_studyDock->raise();
    });
    connect(m_studyView, &StudyView::outputFileRequested, m_documents, &DocumentWindows::openOutputAsked);
    connect(m_studyView, &StudyView::errorFileRequested, m_documents, &DocumentWindows::OpenAnother);
    connect(m_studies, &Studies::jobEnded, this,
            [this](const Study &study, const StudyJob &job) { logJobEnd(*m_runLog, study, job); });
    connect(m_studies, &Studies::studyEnded, this, &TFrameForm::studyEnded);
    connect(m_studies, &Studies::clusterError, this,
            [this](const QString &message) { m_dialogs.error(this, QStringLiteral("Study"), message); });

    m_studies->load();
    // Studies kept from an earlier session are there to be seen.
    if (!m_studies->all().empty())
        m_studyDock->show();
}

void TFrameForm::SubmitMasterClick()
{
    m_submitMaster->submitMasterFile();
}

void TFrameForm::studyEnded(const Study &study)
{
    const QString summary = Jobs::summaryText(study);
    setStatusText(
        QStringLiteral("Study %1 has ended: %2").arg(QFileInfo(study.masterFile).fileName(), summary));
    // A study runs for hours: the user is likely elsewhere when it ends.
    m_runEndNotice->runEnded(study.masterFile, summary,
                             study.submitted.msecsTo(QDateTime::currentDateTime()));
}
