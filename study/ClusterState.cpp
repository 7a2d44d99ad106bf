#include "study/ClusterState.h"

#include <QList>

namespace ClusterState {

namespace {

QDateTime slurmTime(const QString &text)
{
    // "N/A", "Unknown" and "None" stand for no time.
    QDateTime time = QDateTime::fromString(text, Qt::ISODate);
    return time.isValid() ? time : QDateTime();
}

QDateTime epochTime(const QByteArray &text)
{
    bool ok = false;
    const qint64 seconds = text.trimmed().toLongLong(&ok);
    return ok ? QDateTime::fromSecsSinceEpoch(seconds) : QDateTime();
}

// Node names as Slurm writes them; "(null)" and "None assigned" are none.
QString nodeName(const QString &text)
{
    if (text.isEmpty() || text.startsWith(QLatin1Char('(')) || text.startsWith(QLatin1String("None")))
        return QString();
    return text;
}

struct Change
{
    bool changed = false;
    template <typename T> void set(T &field, const T &value)
    {
        if (field != value) {
            field = value;
            changed = true;
        }
    }
};

void takeStatus(StudyJob &job, const StatusFile &status, const ClusterJob *cluster, Change &change)
{
    JobState state = status.exitStatus == 0 ? JobState::Completed : JobState::Failed;
    if (status.terminated) {
        // Slurm's own word tells a time limit from a cancel, while it has it.
        state = cluster && Jobs::isFinal(cluster->state) && cluster->state != JobState::Failed
                    ? cluster->state
                    : JobState::Cancelled;
    }
    change.set(job.state, state);
    change.set(job.exitStatus,
               state == JobState::Failed ? status.exitStatus : (state == JobState::Completed ? 0 : -1));
    change.set(job.signal, state == JobState::Failed ? status.signal : 0);
    if (!status.node.isEmpty())
        change.set(job.node, status.node);
    if (status.start.isValid())
        change.set(job.start, status.start);
    if (status.end.isValid())
        change.set(job.end, status.end);
}

void takeCluster(StudyJob &job, const ClusterJob &cluster, Change &change)
{
    change.set(job.state, cluster.state);
    if (!cluster.node.isEmpty())
        change.set(job.node, cluster.node);
    if (cluster.start.isValid() && cluster.state != JobState::Pending)
        change.set(job.start, cluster.start);
    if (Jobs::isFinal(cluster.state) && cluster.end.isValid())
        change.set(job.end, cluster.end);
    if (cluster.state == JobState::Failed && cluster.exitStatus >= 0) {
        change.set(job.exitStatus, cluster.exitStatus);
        change.set(job.signal, cluster.signal);
    }
}

} // namespace

QStringList squeueArguments()
{
    // --array: each task of an array on a line of its own, as ARRAYID_INDEX.
    return {QStringLiteral("--noheader"), QStringLiteral("--me"), QStringLiteral("--states=all"),
            QStringLiteral("--array"), QStringLiteral("--format=%i|%T|%N|%S|%e")};
}

JobState stateFromSlurm(const QString &name)
{
    const QString word = name.section(QLatin1Char(' '), 0, 0).toUpper();
    if (word == QLatin1String("PENDING") || word == QLatin1String("REQUEUED") ||
        word == QLatin1String("REQUEUE_HOLD") || word == QLatin1String("REQUEUE_FED") ||
        word == QLatin1String("RESV_DEL_HOLD") || word == QLatin1String("SPECIAL_EXIT"))
        return JobState::Pending;
    if (word == QLatin1String("RUNNING") || word == QLatin1String("CONFIGURING") ||
        word == QLatin1String("COMPLETING") || word == QLatin1String("SUSPENDED") ||
        word == QLatin1String("STOPPED") || word == QLatin1String("SIGNALING") ||
        word == QLatin1String("STAGE_OUT") || word == QLatin1String("RESIZING"))
        return JobState::Running;
    if (word == QLatin1String("COMPLETED"))
        return JobState::Completed;
    if (word == QLatin1String("CANCELLED") || word == QLatin1String("PREEMPTED") ||
        word == QLatin1String("REVOKED"))
        return JobState::Cancelled;
    if (word == QLatin1String("TIMEOUT") || word == QLatin1String("DEADLINE"))
        return JobState::TimedOut;
    if (word == QLatin1String("NODE_FAIL") || word == QLatin1String("BOOT_FAIL"))
        return JobState::NodeFailure;
    if (word == QLatin1String("FAILED") || word == QLatin1String("OUT_OF_MEMORY"))
        return JobState::Failed;
    return JobState::Unknown;
}

QHash<QString, ClusterJob> parseSqueue(const QByteArray &output)
{
    QHash<QString, ClusterJob> jobs;
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split('|');
        if (fields.size() < 5 || fields.at(0).isEmpty())
            continue;
        ClusterJob job;
        job.state = stateFromSlurm(QString::fromUtf8(fields.at(1)));
        job.node = nodeName(QString::fromUtf8(fields.at(2)));
        job.start = slurmTime(QString::fromUtf8(fields.at(3)));
        job.end = slurmTime(QString::fromUtf8(fields.at(4)));
        jobs.insert(QString::fromUtf8(fields.at(0)), job);
    }
    return jobs;
}

QHash<QString, ClusterJob> parseScontrol(const QByteArray &output)
{
    QHash<QString, ClusterJob> jobs;
    for (const QByteArray &line : output.split('\n')) {
        QHash<QByteArray, QByteArray> values;
        for (const QByteArray &word : line.simplified().split(' ')) {
            const qsizetype equals = word.indexOf('=');
            if (equals > 0)
                values.insert(word.left(equals), word.mid(equals + 1));
        }
        // A task of an array is known as ARRAYID_INDEX, as squeue lists it.
        const QByteArray task = values.value("ArrayTaskId");
        bool isTask = false;
        task.toInt(&isTask);
        const QByteArray id = isTask ? values.value("ArrayJobId") + '_' + task : values.value("JobId");
        if (id.isEmpty())
            continue;
        ClusterJob job;
        job.state = stateFromSlurm(QString::fromUtf8(values.value("JobState")));
        job.node = nodeName(QString::fromUtf8(values.value("NodeList")));
        job.start = slurmTime(QString::fromUtf8(values.value("StartTime")));
        job.end = slurmTime(QString::fromUtf8(values.value("EndTime")));
        // ExitCode=STATUS:SIGNAL
        const QList<QByteArray> exit = values.value("ExitCode").split(':');
        bool ok = false;
        const int status = exit.value(0).toInt(&ok);
        if (ok) {
            job.exitStatus = status;
            job.signal = exit.value(1).toInt();
        }
        jobs.insert(QString::fromUtf8(id), job);
    }
    return jobs;
}

std::optional<StatusFile> parseStatusFile(const QByteArray &text)
{
    QHash<QByteArray, QByteArray> values;
    for (const QByteArray &line : text.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    bool ok = false;
    StatusFile status;
    status.exitStatus = values.value("exit").toInt(&ok);
    // A file cut short (its writer died) says nothing.
    if (!ok || !values.contains("end"))
        return std::nullopt;
    status.jobId = QString::fromUtf8(values.value("job"));
    status.signal = values.value("signal").toInt();
    status.start = epochTime(values.value("start"));
    status.end = epochTime(values.value("end"));
    status.node = QString::fromUtf8(values.value("node"));
    status.terminated = values.value("terminated") == "1";
    return status;
}

bool update(StudyJob &job, const Evidence &evidence)
{
    Change change;
    if (job.jobId.isEmpty() || (Jobs::isFinal(job.state) && job.state != JobState::Unknown))
        return false;
    // A status file of an earlier attempt on the same line is not this job's.
    if (evidence.status && evidence.status->jobId == job.jobId) {
        job.unseenPolls = 0;
        takeStatus(job, *evidence.status, evidence.cluster, change);
        return change.changed;
    }
    if (evidence.cluster) {
        job.unseenPolls = 0;
        // Slurm counts a job that the user cancelled while it ran as cancelled;
        // one that ended normally says so in its status file a moment later.
        takeCluster(job, *evidence.cluster, change);
        return change.changed;
    }
    if (!evidence.clusterAnswered)
        return false;
    // Left the cluster's memory without a status file: a job cancelled while
    // pending never ran its script.
    if (job.cancelAsked) {
        change.set(job.state, JobState::Cancelled);
        return change.changed;
    }
    if (++job.unseenPolls >= UnseenPollsBeforeLost)
        change.set(job.state, JobState::Unknown);
    return change.changed;
}

} // namespace ClusterState
