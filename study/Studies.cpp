#include "study/Studies.h"

#include "study/BatchSystem.h"
#include "study/StudyFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>

namespace {

// A status file is a few lines; anything larger is not one.
constexpr qint64 StatusFileLimit = 4096;

std::optional<ClusterState::StatusFile> readStatusFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > StatusFileLimit)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ClusterState::parseStatusFile(file.readAll());
}

} // namespace

Studies::Studies(BatchSystem &cluster, QObject *parent) : QObject(parent), m_cluster(cluster)
{
    m_pollTimer = new QTimer(this);
    m_pollTimer->setInterval(DefaultPollSeconds * 1000);
    connect(m_pollTimer, &QTimer::timeout, this, &Studies::pollNow);
    // Changes of one poll, or of many sbatch answers, are written together.
    m_saveTimer = new QTimer(this);
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(500);
    connect(m_saveTimer, &QTimer::timeout, this, &Studies::keepChanged);
}

Studies::~Studies()
{
    // What the last moments learnt is not lost with the program.
    keepChanged();
}

void Studies::load()
{
    for (Study &study : StudyFile::loadAll()) {
        m_studies.push_back(std::make_unique<Study>(std::move(study)));
        emit studyAdded(m_studies.back()->id);
    }
    startOrStopWatching();
    if (anyActive())
        pollNow();
}

Study *Studies::find(const QString &id) const
{
    for (const std::unique_ptr<Study> &study : m_studies) {
        if (study->id == id)
            return study.get();
    }
    return nullptr;
}

Study &Studies::add(Study study)
{
    m_studies.push_back(std::make_unique<Study>(std::move(study)));
    Study &added = *m_studies.back();
    keep(added);
    emit studyAdded(added.id);
    return added;
}

void Studies::remove(const QString &id)
{
    const auto it = std::find_if(m_studies.begin(), m_studies.end(),
                                 [&id](const std::unique_ptr<Study> &study) { return study->id == id; });
    if (it == m_studies.end())
        return;
    // id may be the removed study's own: it must outlive the study.
    const QString removed = id;
    m_unsaved.remove(removed);
    StudyFile::remove(removed);
    m_studies.erase(it);
    emit studyRemoved(removed);
    startOrStopWatching();
}

void Studies::setSubmitting(const QString &id, bool submitting)
{
    if (submitting)
        m_submitting.insert(id);
    else
        m_submitting.remove(id);
}

void Studies::jobsSubmitted(const QString &id, const QList<std::pair<int, QString>> &jobs)
{
    Study *study = find(id);
    if (!study)
        return;
    for (const auto &[line, jobId] : jobs) {
        if (line < 1 || line > int(study->jobs.size()))
            continue;
        StudyJob &job = study->jobs.at(line - 1);
        job.jobId = jobId;
        job.state = JobState::Pending;
    }
    m_unsaved.insert(id);
    m_saveTimer->start();
    emit studyChanged(id);
    startOrStopWatching();
}

void Studies::resetJobs(const QString &id, const QList<int> &lines)
{
    Study *study = find(id);
    if (!study)
        return;
    for (const int line : lines) {
        if (line < 1 || line > int(study->jobs.size()))
            continue;
        StudyJob &job = study->jobs.at(line - 1);
        StudyJob fresh;
        fresh.line = job.line;
        fresh.commandFile = job.commandFile;
        fresh.outputFile = job.outputFile;
        job = fresh;
    }
    m_unsaved.insert(id);
    m_saveTimer->start();
    emit studyChanged(id);
}

void Studies::cancel(const QString &id, const QList<int> &lines)
{
    Study *study = find(id);
    if (!study)
        return;
    QStringList jobIds;
    for (const int line : lines) {
        if (line < 1 || line > int(study->jobs.size()))
            continue;
        StudyJob &job = study->jobs.at(line - 1);
        if (Jobs::isActive(job.state) && !job.jobId.isEmpty()) {
            job.cancelAsked = true;
            jobIds.append(job.jobId);
        }
    }
    if (jobIds.isEmpty())
        return;
    keep(*study);
    m_cluster.cancel(jobIds, this, [this](const ClusterAnswer &answer) {
        if (!answer.ok)
            emit clusterError(QStringLiteral("scancel failed: %1").arg(answer.failure));
        pollNow();
    });
}

void Studies::setPollSeconds(int seconds)
{
    m_pollTimer->setInterval(std::max(1, seconds) * 1000);
}

int Studies::pollSeconds() const
{
    return m_pollTimer->interval() / 1000;
}

QString Studies::cannotReachText() const
{
    if (!m_unreachableSince.isValid())
        return QString();
    return QStringLiteral("cluster not reachable since %1")
        .arg(m_unreachableSince.toString(QStringLiteral("HH:mm")));
}

void Studies::keep(const Study &study)
{
    m_unsaved.remove(study.id);
    StudyFile::save(study);
}

void Studies::keepChanged()
{
    const QSet<QString> unsaved = m_unsaved;
    for (const QString &id : unsaved) {
        if (const Study *study = find(id))
            keep(*study);
    }
    m_unsaved.clear();
}

bool Studies::anyActive() const
{
    return std::any_of(m_studies.cbegin(), m_studies.cend(),
                       [](const std::unique_ptr<Study> &study) { return !Jobs::isOver(*study); });
}

void Studies::startOrStopWatching()
{
    if (anyActive()) {
        if (!m_pollTimer->isActive())
            m_pollTimer->start();
    } else {
        m_pollTimer->stop();
    }
}

void Studies::pollNow()
{
    if (m_polling || !anyActive())
        return;
    m_polling = true;
    m_cluster.listJobs(ClusterState::squeueArguments(), this, [this](const ClusterAnswer &answer) {
        m_polling = false;
        pollAnswered(answer.output, answer.ok);
    });
}

void Studies::pollAnswered(const QByteArray &squeueOutput, bool answered)
{
    const bool wasReachable = !m_unreachableSince.isValid();
    if (answered)
        m_unreachableSince = QDateTime();
    else if (wasReachable)
        m_unreachableSince = QDateTime::currentDateTime();
    if (wasReachable != !m_unreachableSince.isValid())
        emit reachabilityChanged();

    const QHash<QString, ClusterState::ClusterJob> listed = ClusterState::parseSqueue(squeueOutput);
    bool needDetails = false;
    for (const std::unique_ptr<Study> &study : m_studies) {
        const bool wasOver = Jobs::isOver(*study);
        bool changed = false;
        for (StudyJob &job : study->jobs) {
            if (job.jobId.isEmpty() || !Jobs::isActive(job.state))
                continue;
            ClusterState::Evidence evidence;
            evidence.clusterAnswered = answered;
            const auto row = listed.constFind(job.jobId);
            evidence.cluster = row != listed.cend() ? &row.value() : nullptr;
            // Running and pending jobs have written nothing yet; the file is
            // read once Slurm is done with the job, or has forgotten it.
            std::optional<ClusterState::StatusFile> status;
            if (!evidence.cluster || Jobs::isFinal(evidence.cluster->state))
                status = readStatusFile(Jobs::statusPath(*study, job.jobId));
            evidence.status = status ? &*status : nullptr;
            updateJob(*study, job, evidence, changed);
            needDetails = needDetails || (job.state == JobState::Failed && job.exitStatus < 0);
        }
        studyUpdated(*study, wasOver, changed);
    }
    // squeue has no exit status; scontrol has, for the few that failed
    // without writing their status file.
    if (needDetails && answered)
        m_cluster.showJobs(this, [this](const ClusterAnswer &answer) {
            if (answer.ok)
                detailsAnswered(answer.output);
        });
    startOrStopWatching();
    emit polled();
}

void Studies::detailsAnswered(const QByteArray &scontrolOutput)
{
    const QHash<QString, ClusterState::ClusterJob> shown = ClusterState::parseScontrol(scontrolOutput);
    for (const std::unique_ptr<Study> &study : m_studies) {
        bool changed = false;
        for (StudyJob &job : study->jobs) {
            const auto row = shown.constFind(job.jobId);
            if (job.state != JobState::Failed || job.exitStatus >= 0 || row == shown.cend())
                continue;
            job.exitStatus = row->exitStatus;
            job.signal = row->signal;
            changed = true;
        }
        if (changed) {
            m_unsaved.insert(study->id);
            m_saveTimer->start();
            emit studyChanged(study->id);
        }
    }
}

void Studies::updateJob(Study &study, StudyJob &job, const ClusterState::Evidence &evidence, bool &changed)
{
    const bool wasFinal = Jobs::isFinal(job.state);
    // Elapsed time moves on while a job runs.
    changed = ClusterState::update(job, evidence) || changed || job.state == JobState::Running;
    if (wasFinal || !Jobs::isFinal(job.state) || job.logged)
        return;
    job.logged = true;
    emit jobEnded(study, job);
}

void Studies::studyUpdated(Study &study, bool wasOver, bool changed)
{
    if (!changed)
        return;
    m_unsaved.insert(study.id);
    m_saveTimer->start();
    emit studyChanged(study.id);
    if (!wasOver && Jobs::isOver(study) && !isSubmitting(study.id))
        emit studyEnded(study);
}
