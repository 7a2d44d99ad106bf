#include "study/StudyJob.h"

#include <QDir>
#include <QStringList>

#include <algorithm>

#include <array>
#include <utility>

namespace {

struct StateName
{
    JobState state;
    const char *word;
    const char *text;
};

// In the order the summary counts them.
constexpr std::array<StateName, 9> StateNames = {{
    {JobState::Completed, "completed", "completed"},
    {JobState::Running, "running", "running"},
    {JobState::Pending, "pending", "pending"},
    {JobState::Failed, "failed", "failed"},
    {JobState::Cancelled, "cancelled", "cancelled"},
    {JobState::TimedOut, "timed-out", "timed out"},
    {JobState::NodeFailure, "node-failure", "node failure"},
    {JobState::Unknown, "unknown", "ended without a status"},
    {JobState::NotSubmitted, "not-submitted", "not submitted"},
}};

const StateName &nameOf(JobState state)
{
    for (const StateName &name : StateNames) {
        if (name.state == state)
            return name;
    }
    return StateNames.back();
}

} // namespace

namespace Jobs {

bool isFinal(JobState state)
{
    return state != JobState::Pending && state != JobState::Running && state != JobState::NotSubmitted;
}

bool canSubmitAgain(JobState state)
{
    return state != JobState::Pending && state != JobState::Running && state != JobState::Completed;
}

bool isActive(JobState state)
{
    return state == JobState::Pending || state == JobState::Running;
}

QString stateText(const StudyJob &job)
{
    QString text = QLatin1String(nameOf(job.state).text);
    if (job.state != JobState::Failed)
        return text;
    if (job.signal > 0)
        return QStringLiteral("failed (signal %1)").arg(job.signal);
    if (job.exitStatus >= 0)
        return QStringLiteral("failed (exit status %1)").arg(job.exitStatus);
    return text;
}

QString stateWord(JobState state)
{
    return QLatin1String(nameOf(state).word);
}

JobState stateFromWord(const QString &word)
{
    for (const StateName &name : StateNames) {
        if (word == QLatin1String(name.word))
            return name.state;
    }
    return JobState::Unknown;
}

qint64 elapsedSeconds(const StudyJob &job, const QDateTime &now)
{
    if (!job.start.isValid() || job.state == JobState::Pending)
        return -1;
    const QDateTime end = isFinal(job.state) && job.end.isValid() ? job.end : now;
    return std::max<qint64>(0, job.start.secsTo(end));
}

QString elapsedText(qint64 seconds)
{
    if (seconds < 0)
        return QString();
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds / 60 % 60;
    const QString secs = QStringLiteral("%1").arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (hours == 0)
        return QStringLiteral("%1:%2").arg(minutes).arg(secs);
    return QStringLiteral("%1:%2:%3").arg(hours).arg(minutes, 2, 10, QLatin1Char('0')).arg(secs);
}

QString summaryText(const Study &study)
{
    QStringList parts;
    for (const StateName &name : StateNames) {
        qsizetype count = 0;
        for (const StudyJob &job : study.jobs)
            count += job.state == name.state ? 1 : 0;
        if (count > 0)
            parts.append(QStringLiteral("%1 %2").arg(count).arg(QLatin1String(name.text)));
    }
    return parts.join(QStringLiteral(", "));
}

bool isOver(const Study &study)
{
    return std::none_of(study.jobs.cbegin(), study.jobs.cend(),
                        [](const StudyJob &job) { return isActive(job.state); });
}

QString scriptPath(const Study &study, int line)
{
    return QDir(study.folder).filePath(QStringLiteral("%1.sh").arg(line));
}

QString errorPath(const Study &study, int line)
{
    return QDir(study.folder).filePath(QStringLiteral("%1.err").arg(line));
}

QString statusPath(const Study &study, const QString &jobId)
{
    return QDir(study.folder).filePath(jobId + QStringLiteral(".status"));
}

} // namespace Jobs
