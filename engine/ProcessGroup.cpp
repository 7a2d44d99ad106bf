#include "engine/ProcessGroup.h"

#include "engine/ProcessTree.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QThread>
#include <QTimer>

#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#include <sys/wait.h>
#endif

namespace {

using ProcessTree::Handle;
using Processes = QList<ProcessTree::Process>;

#ifdef Q_OS_LINUX

// Whether pid is the process the program started for a run (this one's or
// another's).
bool isRoot(qint64 pid);

// The processes of the run: its root and those of the program's children
// that carry its mark (what its processes left behind when they ended), and
// everything below them.
Processes processesOf(const ProcessGroup::Run &run)
{
    QList<qint64> next;
    for (const qint64 child : ProcessTree::childrenOf(::getpid())) {
        // Another run's shell carries another mark: no need to read it.
        if (child == run.root ||
            (!isRoot(child) && ProcessTree::environmentValue(child, ProcessGroup::RunVariable) == run.mark))
            next.append(child);
    }
    Processes found;
    while (!next.isEmpty()) {
        ProcessTree::Process process;
        if (!ProcessTree::read(next.takeLast(), process) || process.zombie)
            continue;
        found.append(process);
        next.append(ProcessTree::childrenOf(process.pid));
    }
    return found;
}

// Sends signal to every process of the run there is now; those signalled go
// to sent, when given, for the second step.
void signalRun(const ProcessGroup::Run &run, int signal, Processes *sent)
{
    if (run.mark.isEmpty())
        return;
    for (const ProcessTree::Process &process : processesOf(run)) {
        const Handle handle(process);
        if (!handle.isValid())
            continue;
        handle.signal(signal);
        if (sent)
            sent->append(process);
    }
}

#elif defined(Q_OS_UNIX)

bool signalable(qint64 group)
{
    // kill() with 0 or -1 would reach the program's own group or every
    // process it may signal.
    return group > 1 && group != ::getpgrp();
}

void signalRun(const ProcessGroup::Run &run, int signal, Processes *)
{
    if (signalable(run.group))
        ::kill(-static_cast<pid_t>(run.group), signal);
}

#else

void signalRun(const ProcessGroup::Run &, int, Processes *)
{}

#endif

// The second step of a stop: SIGKILL once the grace time is over, to the
// processes that got SIGTERM (those still there: a handle is opened on each
// again, which holds no file open meanwhile for a run of hundreds of
// processes) and to any the run started since. It lives
// beside the run rather than in it, since a run may be gone (a master run
// goes on to its end) while what its engine left behind still runs.
class PendingKill : public QObject
{
public:
    PendingKill(ProcessGroup::Run run, Processes signalled, int graceMs)
        : QObject(QCoreApplication::instance()), m_run(std::move(run)), m_signalled(std::move(signalled)),
          m_deadline(graceMs)
    {
        // By then the root may have been reaped and its pid taken over; its
        // handle is among those signalled.
        m_run.root = 0;
        QTimer::singleShot(graceMs, this, [this] {
            finish();
            deleteLater();
        });
    }

    ~PendingKill() override
    {
        // The program ends within the grace time: wait out the rest of it
        // (only while something of the run is left), then finish.
        while (!m_done && !m_deadline.hasExpired() && anyLeft())
            QThread::msleep(20);
        finish();
    }

    PendingKill(const PendingKill &) = delete;
    PendingKill &operator=(const PendingKill &) = delete;

private:
    bool anyLeft() const
    {
        for (const ProcessTree::Process &process : m_signalled) {
            if (!Handle(process).hasEnded())
                return true;
        }
        return ProcessGroup::exists(m_run);
    }

    void finish()
    {
        if (m_done)
            return;
        m_done = true;
#ifdef Q_OS_UNIX
        for (const ProcessTree::Process &process : m_signalled)
            Handle(process).signal(SIGKILL);
        signalRun(m_run, SIGKILL, nullptr);
#endif
    }

    ProcessGroup::Run m_run;
    Processes m_signalled;
    QDeadlineTimer m_deadline;
    bool m_done = false;
};

// Reaps the processes that come to the program as their parents end. The
// program's own children are left to whoever started them: the runs' shells
// to their QProcess, and a child a library started stays in the program's
// process group, where no process of a run ever is.
class OrphanReaper : public QObject
{
public:
    static constexpr int IntervalMs = 250;

    OrphanReaper() : QObject(QCoreApplication::instance())
    {
        m_timer.setInterval(IntervalMs);
        connect(&m_timer, &QTimer::timeout, this, &OrphanReaper::reap);
    }

    void rootStarted(qint64 pid)
    {
        m_roots.insert(pid);
        m_timer.start();
    }
    void rootEnded(qint64 pid) { m_roots.remove(pid); }
    bool isRoot(qint64 pid) const { return m_roots.contains(pid); }

private:
    void reap()
    {
#ifdef Q_OS_LINUX
        const qint64 ownGroup = ::getpgrp();
        bool adopted = false;
        for (const qint64 child : ProcessTree::childrenOf(::getpid())) {
            ProcessTree::Process process;
            if (m_roots.contains(child) || !ProcessTree::read(child, process) || process.group == ownGroup)
                continue;
            siginfo_t info = {};
            if (!process.zombie || ::waitid(P_PID, id_t(child), &info, WEXITED | WNOHANG) != 0)
                adopted = true;
        }
        // Nothing is left that could leave an orphan.
        if (!adopted && m_roots.isEmpty())
            m_timer.stop();
#else
        m_timer.stop();
#endif
    }

    QTimer m_timer;
    QSet<qint64> m_roots;
};

OrphanReaper *reaper()
{
    static QPointer<OrphanReaper> instance;
    if (!instance && QCoreApplication::instance())
        instance = new OrphanReaper;
    return instance;
}

#ifdef Q_OS_LINUX
bool isRoot(qint64 pid)
{
    const OrphanReaper *r = reaper();
    return r && r->isRoot(pid);
}
#endif

} // namespace

namespace ProcessGroup {

QByteArray newMark()
{
    static qint64 runs = 0;
    return QByteArray::number(QCoreApplication::applicationPid()) + '-' + QByteArray::number(++runs);
}

void adoptOrphans()
{
#ifdef Q_OS_LINUX
    static const bool adopting = ::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0;
    Q_UNUSED(adopting);
#endif
}

void rootStarted(qint64 pid)
{
    if (OrphanReaper *r = reaper())
        r->rootStarted(pid);
}

void rootEnded(qint64 pid)
{
    if (OrphanReaper *r = reaper())
        r->rootEnded(pid);
}

bool exists([[maybe_unused]] const Run &run)
{
#ifdef Q_OS_LINUX
    return !run.mark.isEmpty() && !processesOf(run).isEmpty();
#elif defined(Q_OS_UNIX)
    // EPERM: a process of that group is there, but not ours to signal.
    return signalable(run.group) && (::kill(-static_cast<pid_t>(run.group), 0) == 0 || errno == EPERM);
#else
    return false;
#endif
}

void stop([[maybe_unused]] const Run &run, [[maybe_unused]] int graceMs)
{
#ifdef Q_OS_UNIX
    Processes signalled;
    signalRun(run, SIGTERM, &signalled);
    if (QCoreApplication::instance())
        new PendingKill(run, std::move(signalled), graceMs);
#endif
}

void kill([[maybe_unused]] const Run &run)
{
#ifdef Q_OS_UNIX
    signalRun(run, SIGKILL, nullptr);
#endif
}

} // namespace ProcessGroup
