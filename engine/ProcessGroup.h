#pragma once

#include <QByteArray>
#include <QtGlobal>

// Ending a run's whole process tree. The launch script runs in a process
// group of its own, and every process it starts inherits a mark of the run
// in its environment. The program is the subreaper of what its runs start:
// a process whose parent ends comes to the program instead of to init, so
// that what a run left behind (a daemon, a helper that went off into a
// session of its own) is still below the program in the process tree, and
// the mark tells which run it came from. A stop finds every process of the
// run that way; none that the run did not start is touched.
//
// A batch client such as Slurm's srun must get SIGTERM first: it cancels its
// job on SIGTERM, while a SIGKILL to it leaves the job running on the
// cluster. So the run's processes get SIGTERM, and only what is left of them
// after the grace time gets SIGKILL.
namespace ProcessGroup {

constexpr int GraceMs = 2000;

// The environment variable that carries a run's mark.
inline constexpr char RunVariable[] = "OSTREL_RUN";

// What tells a run's processes from all others.
struct Run
{
    // The group the launch script leads; 0 when none.
    qint64 group = 0;
    // The process the program started, while it has not been reaped: found
    // even when its environment cannot be read (a launcher that is set-uid).
    qint64 root = 0;
    QByteArray mark;
};

// A mark that no other run of this program has.
QByteArray newMark();

// Makes the program the subreaper of the processes its runs start; from
// then on the processes that come to it are reaped as they end. Called
// before a run starts; does something the first time only.
void adoptOrphans();
// The process the program started for a run, which its own QProcess reaps:
// known from its start to its end, so that it is never reaped here.
void rootStarted(qint64 pid);
void rootEnded(qint64 pid);

// Whether any process of the run is left.
bool exists(const Run &run);

// SIGTERM to every process of the run now and SIGKILL to what is left of it
// after graceMs, without blocking: a timer does the second step. Should the
// program end first, the second step is taken as it ends, once the grace
// time is over.
void stop(const Run &run, int graceMs = GraceMs);

// SIGKILL to every process of the run at once.
void kill(const Run &run);

} // namespace ProcessGroup
