#pragma once

#include "engine/OutputName.h"

#include <QList>
#include <QString>

// Decides which line of a master file may start next when several command
// files run at once. Lines start in the order the master file lists them;
// at most atOnce run at a time, and a line that names a file (command or
// output) that a line still running names waits for it (and the lines after it wait
// too, so that the order holds). It knows nothing of files or processes:
// the run hands it each line's keys and tells it of every start and end.
class MasterSchedule
{
public:
    // What must never run twice at once: the line's two files, each as a
    // key that tells whether two paths lead to one file.
    struct Job
    {
        int line = 0; // counted from 1
        Engine::FileKey commandKey;
        Engine::FileKey outputKey;
    };

    MasterSchedule(int lineCount, int atOnce);

    int atOnce() const { return m_atOnce; }
    // The number of the next line to start; 0 when every line has started
    // or the run is stopping.
    int nextLine() const;
    // Whether a place is free for one more engine.
    bool hasRoom() const { return m_running.size() < m_atOnce; }
    // Whether job, the next line, may start now.
    bool mayStart(const Job &job) const;
    // The job started; the next line is the one after it.
    void started(const Job &job);
    void ended(int line);
    // No further line starts; those running go on to their end.
    void stop() { m_stopping = true; }
    bool isStopping() const { return m_stopping; }
    // Nothing runs and nothing more will start.
    bool isOver() const { return m_running.isEmpty() && nextLine() == 0; }

    int doneCount() const { return m_done; }
    int runningCount() const { return int(m_running.size()); }
    // Lines not started yet, including those a stop will never start.
    int leftCount() const { return m_lineCount - m_done - runningCount(); }
    // The lines running now, in the order they started.
    QList<int> runningLines() const;

private:
    int m_lineCount;
    int m_atOnce;
    int m_next = 1;
    int m_done = 0;
    bool m_stopping = false;
    QList<Job> m_running;
};
