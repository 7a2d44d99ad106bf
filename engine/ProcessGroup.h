#pragma once

#include <QtGlobal>

// Ending a run's whole process tree. The launch script runs in a process
// group of its own, so that whatever the engine starts (a child process, a
// batch system's client and its helper) goes with it. A batch client such as
// Slurm's srun must get SIGTERM first: it cancels its job on SIGTERM, while a
// SIGKILL to it leaves the job running on the cluster. So the group gets
// SIGTERM, and only what is left of it after the grace time gets SIGKILL.
namespace ProcessGroup {

constexpr int GraceMs = 2000;

// Whether any process of the group is left (one that has ended but is not yet
// reaped counts: the system cannot tell it apart).
bool exists(qint64 group);

// SIGTERM to the group now and SIGKILL to what is left of it after graceMs,
// without blocking: a timer does the second step. Should the program end
// first, the second step is taken as it ends, once the grace time is over.
// A group of 0 or 1, or the program's own, is never signalled.
void stop(qint64 group, int graceMs = GraceMs);

// SIGKILL to the group at once.
void kill(qint64 group);

} // namespace ProcessGroup
