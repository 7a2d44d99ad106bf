#include "engine/ProcessTree.h"

#include <QHash>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace ProcessTree {

namespace {

#ifdef Q_OS_LINUX

// A whole small file of /proc; empty when it cannot be read.
QByteArray readProcFile(const QByteArray &path, qsizetype limit)
{
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        bytes.append(buffer, got);
        if (bytes.size() > limit)
            break;
    }
    ::close(fd);
    return bytes;
}

// /proc/PID/stat: "pid (comm) state ppid pgrp ...", where comm may hold
// blanks and parentheses of its own; the start time is the 22nd field.
bool readStat(qint64 pid, Process &process)
{
    const QByteArray text = readProcFile("/proc/" + QByteArray::number(pid) + "/stat", 4096);
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0)
        return false;
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    if (fields.size() < 20 || fields.at(0).isEmpty())
        return false;
    process.pid = pid;
    process.zombie = fields.at(0).at(0) == 'Z' || fields.at(0).at(0) == 'X';
    process.parent = fields.at(1).toLongLong();
    process.group = fields.at(2).toLongLong();
    process.startTime = fields.at(19).toULongLong();
    return true;
}

#endif

} // namespace

QList<Process> snapshot()
{
    QList<Process> processes;
#ifdef Q_OS_LINUX
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return processes;
    while (const dirent *entry = ::readdir(proc)) {
        char *end = nullptr;
        const long long pid = std::strtoll(entry->d_name, &end, 10);
        Process process;
        if (pid > 0 && end && *end == '\0' && readStat(pid, process))
            processes.append(process);
    }
    ::closedir(proc);
#endif
    return processes;
}

QList<Process> subtrees(const QList<Process> &all, const QList<qint64> &roots)
{
    QHash<qint64, QList<qsizetype>> children;
    QHash<qint64, qsizetype> byPid;
    for (qsizetype i = 0; i < all.size(); ++i) {
        children[all.at(i).parent].append(i);
        byPid.insert(all.at(i).pid, i);
    }
    QList<Process> found;
    QList<qint64> next;
    for (const qint64 root : roots) {
        if (byPid.contains(root))
            next.append(root);
    }
    QHash<qint64, bool> seen;
    while (!next.isEmpty()) {
        const qint64 pid = next.takeLast();
        if (seen.contains(pid))
            continue;
        seen.insert(pid, true);
        found.append(all.at(byPid.value(pid)));
        for (const qsizetype child : children.value(pid))
            next.append(all.at(child).pid);
    }
    return found;
}

QByteArray environmentValue([[maybe_unused]] qint64 pid, [[maybe_unused]] const QByteArray &name)
{
#ifdef Q_OS_LINUX
    const QByteArray environment = readProcFile("/proc/" + QByteArray::number(pid) + "/environ", 1 << 20);
    const QByteArray start = name + '=';
    for (const QByteArray &variable : environment.split('\0')) {
        if (variable.startsWith(start))
            return variable.mid(start.size());
    }
#endif
    return QByteArray();
}

Handle::Handle([[maybe_unused]] const Process &process)
{
#ifdef Q_OS_LINUX
    m_fd = int(::syscall(SYS_pidfd_open, pid_t(process.pid), 0));
    if (m_fd < 0)
        return;
    // The pidfd holds whichever process had the pid when it was opened: it
    // is the one seen only if that one is still there now.
    Process now;
    if (!readStat(process.pid, now) || now.startTime != process.startTime) {
        ::close(m_fd);
        m_fd = -1;
    }
#endif
}

Handle::~Handle()
{
#ifdef Q_OS_LINUX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

bool Handle::hasEnded() const
{
#ifdef Q_OS_LINUX
    if (m_fd < 0)
        return true;
    pollfd poll = {m_fd, POLLIN, 0};
    return ::poll(&poll, 1, 0) != 0;
#else
    return true;
#endif
}

void Handle::signal([[maybe_unused]] int signal) const
{
#ifdef Q_OS_LINUX
    if (m_fd >= 0)
        ::syscall(SYS_pidfd_send_signal, m_fd, signal, nullptr, 0);
#endif
}

} // namespace ProcessTree
