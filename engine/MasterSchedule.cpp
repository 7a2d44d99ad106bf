#include "engine/MasterSchedule.h"

#include <QtGlobal>

MasterSchedule::MasterSchedule(int lineCount, int atOnce)
    : m_lineCount(qMax(0, lineCount)), m_atOnce(qMax(1, atOnce))
{}

int MasterSchedule::nextLine() const
{
    return m_stopping || m_next > m_lineCount ? 0 : m_next;
}

namespace {

// A run writes its output file and reads its command file: any file that one
// of the two jobs names is a file the other must not meet.
bool sharesFile(const MasterSchedule::Job &a, const MasterSchedule::Job &b)
{
    using Engine::sameFile;
    return sameFile(a.commandKey, b.commandKey) || sameFile(a.outputKey, b.outputKey) ||
           sameFile(a.commandKey, b.outputKey) || sameFile(a.outputKey, b.commandKey);
}

} // namespace

bool MasterSchedule::mayStart(const Job &job) const
{
    if (job.line != nextLine() || !hasRoom())
        return false;
    for (const Job &running : m_running) {
        if (sharesFile(running, job))
            return false;
    }
    return true;
}

void MasterSchedule::started(const Job &job)
{
    Q_ASSERT(mayStart(job));
    m_running.append(job);
    m_next = job.line + 1;
}

void MasterSchedule::ended(int line)
{
    for (qsizetype i = 0; i < m_running.size(); ++i) {
        if (m_running.at(i).line == line) {
            m_running.removeAt(i);
            ++m_done;
            return;
        }
    }
}

QList<int> MasterSchedule::runningLines() const
{
    QList<int> lines;
    lines.reserve(m_running.size());
    for (const Job &job : m_running)
        lines.append(job.line);
    return lines;
}
