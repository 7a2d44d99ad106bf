#include "engine/ProcessTree.h"

#ifdef Q_OS_LINUX
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace ProcessTree {

namespace {

#ifdef Q_OS_LINUX

// A whole small file of /proc; a null array when it cannot be opened.
QByteArray readProcFile(const QByteArray &path, qsizetype limit)
{
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return bytes;
    bytes = QByteArray("");
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
bool parseStat(const QByteArray &text, Process &process)
{
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0 || close + 2 >= text.size())
        return false;
    const char *at = text.constData() + close + 2;
    const char state = *at;
    qint64 fields[19] = {};
    for (qint64 &field : fields) {
        at = std::strchr(at, ' ');
        if (!at)
            return false;
        field = std::strtoll(++at, nullptr, 10);
    }
    process.zombie = state == 'Z' || state == 'X';
    process.parent = fields[0];
    process.group = fields[1];
    process.startTime = quint64(fields[18]);
    return true;
}

QByteArray procPath(qint64 pid, const char *file)
{
    return "/proc/" + QByteArray::number(pid) + '/' + file;
}

// The kernel's own list of a thread's children, where it keeps one.
bool readTaskChildren(const QByteArray &taskFolder, QList<qint64> &children)
{
    const QByteArray text = readProcFile(taskFolder + "/children", 1 << 20);
    if (text.isNull())
        return false;
    for (const QByteArray &pid : text.split(' ')) {
        if (!pid.trimmed().isEmpty())
            children.append(pid.trimmed().toLongLong());
    }
    return true;
}

// Every process whose parent is pid, found by reading them all.
QList<qint64> childrenByScan(qint64 pid)
{
    QList<qint64> children;
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return children;
    while (const dirent *entry = ::readdir(proc)) {
        char *end = nullptr;
        const long long candidate = std::strtoll(entry->d_name, &end, 10);
        Process process;
        if (candidate > 0 && end && *end == '\0' && read(candidate, process) && process.parent == pid)
            children.append(candidate);
    }
    ::closedir(proc);
    return children;
}

#endif

} // namespace

bool read([[maybe_unused]] qint64 pid, [[maybe_unused]] Process &process)
{
#ifdef Q_OS_LINUX
    process.pid = pid;
    return parseStat(readProcFile(procPath(pid, "stat"), 4096), process);
#else
    return false;
#endif
}

QList<qint64> childrenOf([[maybe_unused]] qint64 pid)
{
    QList<qint64> children;
#ifdef Q_OS_LINUX
    const QByteArray tasks = procPath(pid, "task");
    DIR *folder = ::opendir(tasks.constData());
    if (!folder)
        return children;
    bool listed = false;
    while (const dirent *entry = ::readdir(folder)) {
        if (entry->d_name[0] != '.')
            listed = readTaskChildren(tasks + '/' + entry->d_name, children) || listed;
    }
    ::closedir(folder);
    // A kernel that keeps no such lists.
    if (!listed)
        children = childrenByScan(pid);
#endif
    return children;
}

QByteArray environmentValue([[maybe_unused]] qint64 pid, [[maybe_unused]] const QByteArray &name)
{
#ifdef Q_OS_LINUX
    const QByteArray environment = readProcFile(procPath(pid, "environ"), 1 << 20);
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
    if (!read(process.pid, now) || now.startTime != process.startTime) {
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
