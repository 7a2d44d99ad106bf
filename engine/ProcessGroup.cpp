#include "engine/ProcessGroup.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <QThread>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
bool signalable(qint64 group)
{
    // kill() with 0 or -1 would reach the program's own group or every
    // process it may signal.
    return group > 1 && group != ::getpgrp();
}

bool signalGroup(qint64 group, int signal)
{
    return signalable(group) && ::kill(-static_cast<pid_t>(group), signal) == 0;
}
#endif

// The second step of a stop: SIGKILL once the grace time is over. It lives
// beside the run rather than in it, since a run may be gone (a master run
// goes on to its end) while what its engine left behind still runs.
class PendingKill : public QObject
{
public:
    PendingKill(qint64 group, int graceMs)
        : QObject(QCoreApplication::instance()), m_group(group), m_deadline(graceMs)
    {
        QTimer::singleShot(graceMs, this, [this] {
            finish();
            deleteLater();
        });
    }

    ~PendingKill() override
    {
        // The program ends within the grace time: wait out the rest of it
        // (only while something of the group is left), then finish.
        while (!m_done && !m_deadline.hasExpired() && ProcessGroup::exists(m_group))
            QThread::msleep(20);
        finish();
    }

    PendingKill(const PendingKill &) = delete;
    PendingKill &operator=(const PendingKill &) = delete;

private:
    void finish()
    {
        if (m_done)
            return;
        m_done = true;
        if (ProcessGroup::exists(m_group))
            ProcessGroup::kill(m_group);
    }

    qint64 m_group;
    QDeadlineTimer m_deadline;
    bool m_done = false;
};

} // namespace

namespace ProcessGroup {

bool exists([[maybe_unused]] qint64 group)
{
#ifdef Q_OS_UNIX
    if (!signalable(group))
        return false;
    // EPERM: a process of that group is there, but not ours to signal.
    return ::kill(-static_cast<pid_t>(group), 0) == 0 || errno == EPERM;
#else
    return false;
#endif
}

void stop([[maybe_unused]] qint64 group, [[maybe_unused]] int graceMs)
{
#ifdef Q_OS_UNIX
    if (!signalGroup(group, SIGTERM))
        return;
    if (QCoreApplication::instance())
        new PendingKill(group, graceMs);
#endif
}

void kill([[maybe_unused]] qint64 group)
{
#ifdef Q_OS_UNIX
    signalGroup(group, SIGKILL);
#endif
}

} // namespace ProcessGroup
