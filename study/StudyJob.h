#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

// Where one command file of a study stands on the cluster.
enum class JobState {
    NotSubmitted,
    Pending,
    Running,
    Completed,
    Failed,
    Cancelled,
    TimedOut,
    NodeFailure,
    // Gone from the cluster without a word of how it ended.
    Unknown
};

// One line of a submitted master file: its files, its batch job and what is
// known of it.
struct StudyJob
{
    int line = 0; // counted from 1
    QString commandFile;
    QString outputFile;
    QString jobId; // empty until sbatch has answered
    JobState state = JobState::NotSubmitted;
    int exitStatus = -1; // -1 while not known
    int signal = 0;
    QString node;
    QDateTime start;
    QDateTime end;
    // The user cancelled it: a job that leaves the queue without a word was cancelled.
    bool cancelAsked = false;
    // Its end has gone to the Run Log (once, whichever program saw it first).
    bool logged = false;
    // Polls in a row that found it nowhere; not kept.
    int unseenPolls = 0;
};

// One submission of a master file.
struct Study
{
    QString id; // the name of its file in the studies folder
    QString masterFile;
    // Beside the master file: the job scripts, their status and error files.
    QString folder;
    QString enginePath;
    QString batchOptions;
    QDateTime submitted;
    std::vector<StudyJob> jobs;
};

namespace Jobs {

// Nothing more will happen to a job in this state unless it is submitted again.
bool isFinal(JobState state);
// Failed, cancelled, timed out, lost or never submitted: "Submit Again" takes it.
bool canSubmitAgain(JobState state);
// Pending or running, so the study is watched.
bool isActive(JobState state);

// "pending", "failed (exit status 3)", ...: what the Study dock shows.
QString stateText(const StudyJob &job);
// The word kept in the study file and the CSV: "pending", "failed", "timed-out", ...
QString stateWord(JobState state);
JobState stateFromWord(const QString &word);

// Seconds from start to end, or to now while it runs; -1 before it started.
qint64 elapsedSeconds(const StudyJob &job, const QDateTime &now);
// "0:07", "12:03", "3:02:01"; empty for -1.
QString elapsedText(qint64 seconds);

// "180 completed, 12 running, 6 pending, 2 failed": the states present, in a
// fixed order.
QString summaryText(const Study &study);
// No job is pending or running: nothing is left to watch.
bool isOver(const Study &study);

// Where a job's files lie in the study folder.
QString scriptPath(const Study &study, int line);
QString errorPath(const Study &study, int line);
QString statusPath(const Study &study, const QString &jobId);

} // namespace Jobs
