#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// A FIFO for tests of code that must never wait on one. Whatever opens it and
// waits is let go after a while (the trap opens it for writing and closes it
// again, which ends a reader's wait with an empty read; and for reading, which
// ends a writer's wait), so that a fault fails the test instead of hanging
// it; sprung() tells whether that happened (a writer that closes the FIFO at
// once may go unnoticed).
class FifoTrap
{
public:
    explicit FifoTrap(const QString &path, int patienceMs = 2000);
    ~FifoTrap();
    FifoTrap(const FifoTrap &) = delete;
    FifoTrap &operator=(const FifoTrap &) = delete;

    bool created() const { return m_created; }
    QString path() const { return m_path; }
    bool sprung() const { return m_sprung; }

private:
    void watch(int patienceMs);

    QString m_path;
    bool m_created = false;
    std::atomic<bool> m_sprung{false};
    std::mutex m_mutex;
    std::condition_variable m_stopped;
    bool m_stop = false;
    std::thread m_watchdog;
};
