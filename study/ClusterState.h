#pragma once

#include "study/StudyJob.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// What the cluster and the jobs themselves say of the jobs, read from the
// output of squeue and scontrol and from the status file each job writes when
// its engine ends; and how that updates what the study knows. Plain text in,
// plain values out: no process is started here.
namespace ClusterState {

// A job as squeue or scontrol lists it.
struct ClusterJob
{
    JobState state = JobState::Unknown;
    QString node;
    QDateTime start;
    QDateTime end;
    int exitStatus = -1; // scontrol only
    int signal = 0;
};

// The job's own word, written when its engine ended (or Slurm ended it).
struct StatusFile
{
    QString jobId;
    int exitStatus = 0;
    int signal = 0;
    QDateTime start;
    QDateTime end;
    QString node;
    // Slurm ended the job (cancelled, time limit) before the engine ended.
    bool terminated = false;
};

// The arguments of the squeue run that one poll makes: every job of the
// user, in any state Slurm still remembers, one line each.
QStringList squeueArguments();
// Its lines, by job id; lines that do not parse are passed over.
QHash<QString, ClusterJob> parseSqueue(const QByteArray &output);
// "scontrol -o show job" lines (one job a line, KEY=VALUE words), by job id.
QHash<QString, ClusterJob> parseScontrol(const QByteArray &output);
// Slurm's state names ("PENDING", "CANCELLED by 0", "NODE_FAIL", ...).
JobState stateFromSlurm(const QString &name);

std::optional<StatusFile> parseStatusFile(const QByteArray &text);

// What the cluster said of a job in one poll; null where it said nothing.
struct Evidence
{
    // The cluster answered this poll (squeue ran), so a job it does not
    // list has left its memory.
    bool clusterAnswered = false;
    const ClusterJob *cluster = nullptr;
    const StatusFile *status = nullptr;
};

// Polls in a row a job may be missing everywhere before it counts as lost:
// a status file on a shared file system may show late on another machine.
constexpr int UnseenPollsBeforeLost = 3;

// Brings job up to date with evidence; true when anything shown changed. A
// job in a final state stays as it is.
bool update(StudyJob &job, const Evidence &evidence);

} // namespace ClusterState
