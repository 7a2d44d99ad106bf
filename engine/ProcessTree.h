#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// The system's processes as /proc shows them, and signals sent so that they
// reach the process meant and no other: a pid is taken over by a new process
// once the old one is gone, so a process is named by its pid and its start
// time, and signalled through a pidfd opened while both still match.
namespace ProcessTree {

struct Process
{
    qint64 pid = 0;
    qint64 parent = 0;
    qint64 group = 0;
    // In clock ticks since the system started.
    quint64 startTime = 0;
    // Ended but not yet reaped: nothing of it runs any more.
    bool zombie = false;
};

// The process with that pid now; false when there is none (or no /proc).
bool read(qint64 pid, Process &process);
// The children of the process, those of all its threads.
QList<qint64> childrenOf(qint64 pid);
// The value of an environment variable that the process started with;
// empty when it has none, or its environment cannot be read.
QByteArray environmentValue(qint64 pid, const QByteArray &name);

// A handle on one process that stays with it even after its pid is taken
// over; invalid when the process had gone (or was not the one seen) when it
// was opened.
class Handle
{
public:
    explicit Handle(const Process &process);
    ~Handle();
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;

    bool isValid() const { return m_fd >= 0; }
    // Whether the process has ended (reaped or not).
    bool hasEnded() const;
    void signal(int signal) const;

private:
    int m_fd = -1;
};

} // namespace ProcessTree
