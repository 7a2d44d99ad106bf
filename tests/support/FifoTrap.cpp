#include "FifoTrap.h"

#include <QFile>

#include <chrono>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FifoTrap::FifoTrap(const QString &path, int patienceMs) : m_path(path)
{
    m_created = ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (m_created)
        m_watchdog = std::thread(&FifoTrap::watch, this, patienceMs);
}

FifoTrap::~FifoTrap()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_stopped.notify_all();
    if (m_watchdog.joinable())
        m_watchdog.join();
}

void FifoTrap::watch(int patienceMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_stopped.wait_for(lock, std::chrono::milliseconds(patienceMs), [this] { return m_stop; }))
        return;
    const QByteArray path = QFile::encodeName(m_path);
    // Opening for writing without waiting succeeds only while a reader has it
    // open: that reader is the one that hangs.
    do {
        const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            m_sprung = true;
        }
        // Opening for reading always succeeds, and lets a waiting writer on;
        // a writer still there then makes the read wait (EAGAIN) or find data.
        const int reader = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (reader < 0)
            continue;
        const bool stop = m_stopped.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_stop; });
        char byte = 0;
        if (::read(reader, &byte, 1) != 0)
            m_sprung = true;
        ::close(reader);
        if (stop)
            return;
    } while (!m_stopped.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_stop; }));
}
