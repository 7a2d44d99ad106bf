#include "study/JobLog.h"

#include "engine/RunLog.h"
#include "study/StudyJob.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The Run Log keeps the newest lines anyway; a job that wrote more than
// this says enough in its last part.
constexpr qint64 ErrorTailBytes = qint64(64) * 1024;

QByteArray errorTail(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return QByteArray();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    if (info.size() > ErrorTailBytes)
        file.seek(info.size() - ErrorTailBytes);
    return file.read(ErrorTailBytes);
}

RunOutcome outcomeOf(const StudyJob &job)
{
    RunOutcome outcome;
    const qint64 seconds =
        Jobs::elapsedSeconds(job, job.end.isValid() ? job.end : QDateTime::currentDateTime());
    outcome.wallMs = seconds < 0 ? -1 : seconds * 1000;
    switch (job.state) {
    case JobState::Completed:
        outcome.code = 0;
        break;
    case JobState::Failed:
        if (job.signal > 0) {
            outcome.kind = RunOutcome::Kind::Signalled;
            outcome.code = job.signal;
        } else if (job.exitStatus >= 0) {
            outcome.code = job.exitStatus;
        } else {
            outcome.kind = RunOutcome::Kind::EndedAs;
            outcome.reason = QStringLiteral("failed");
        }
        break;
    default:
        outcome.kind = RunOutcome::Kind::EndedAs;
        outcome.reason = QStringLiteral("batch job %1 %2").arg(job.jobId, Jobs::stateText(job));
        break;
    }
    if (outcome.wallMs < 0 && outcome.kind != RunOutcome::Kind::EndedAs)
        outcome.wallMs = 0;
    return outcome;
}

} // namespace

void logJobEnd(RunLog &log, const Study &study, const StudyJob &job)
{
    const int entry =
        log.beginEntry(job.commandFile, job.end.isValid() ? job.end : QDateTime::currentDateTime());
    const QByteArray errors = errorTail(Jobs::errorPath(study, job.line));
    if (!errors.isEmpty())
        log.addErrorOutput(entry, errors);
    log.endEntry(entry, outcomeOf(job));
}
