#pragma once

#include "engine/LineRing.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <map>

// How a run ended, for the last line of its log entry.
struct RunOutcome
{
    enum class Kind {
        Exited,     // code is the exit status
        Signalled,  // code is the number of the signal that ended the engine
        Stopped,    // the user stopped it
        NotStarted, // reason says why
        // Ended otherwise, as reason says ("timed out"): a batch job that
        // Slurm ended.
        EndedAs
    };
    Kind kind = Kind::Exited;
    int code = 0;
    // From the start to the end of the process.
    qint64 wallMs = 0;
    QString reason;
};

// What the runs have to say that is not their output: for each run an entry
// of the time and the command file, whatever the engine and the shell wrote
// to standard error, as it came, and how the run ended. Two runs may be in
// progress at once (a master run during a command-file run): their lines
// follow one another as they come, and a line of the other run than the one
// before is preceded by its command file again. Only the newest lines are
// kept, so that an engine that writes without end cannot exhaust memory; a
// line in front says how many went. A view shows lines() and catches up with
// linesAddedSince() when told of new ones.
class RunLog : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultLineLimit = 10000;
    // Longer stretches without a line end are cut into lines of this many bytes.
    static constexpr int LineLengthLimit = 1000;

    explicit RunLog(QObject *parent = nullptr, int lineLimit = DefaultLineLimit);

    // Opens an entry; what the run writes and how it ends go to the entry
    // under the number returned.
    int beginEntry(const QString &commandFile, const QDateTime &when = QDateTime::currentDateTime());
    // Bytes of standard error as they arrive; a line may come in pieces.
    void addErrorOutput(int entry, const QByteArray &bytes);
    void endEntry(int entry, const RunOutcome &outcome);
    // A whole entry for a run that did not start.
    void addRefusal(const QString &commandFile, const QString &reason,
                    const QDateTime &when = QDateTime::currentDateTime());

    // The kept lines, after the line that counts the dropped ones, if any.
    QStringList lines() const;
    QString text() const;
    int keptLineCount() const { return m_lines.keptCount(); }
    qint64 droppedLineCount() const { return m_lines.droppedCount(); }
    // Every line ever added, kept or not.
    qint64 addedLineCount() const { return m_lines.addedCount(); }
    // The kept lines among those added after the first `added` ones.
    QStringList linesAddedSince(qint64 added) const;
    // The kept lines among those numbered from to before end (counted from 0
    // as they were added).
    QStringList linesBetween(qint64 from, qint64 end) const;
    // The first of the kept lines before end that make at most count lines
    // and about bytes bytes.
    qint64 stretchStart(qint64 end, int count, qint64 bytes) const
    {
        return m_lines.stretchStart(end, count, bytes);
    }

    static QString headerLine(const QDateTime &when, const QString &commandFile);
    // The header again, before a line of a run whose entry was interrupted.
    static QString continuedLine(const QString &commandFile);
    static QString closingLine(const RunOutcome &outcome);
    // How the run ended, without its time ("exit status 0").
    static QString howEnded(const RunOutcome &outcome);
    static QString droppedLine(qint64 count);

signals:
    void linesAdded();
    // The entry's run wrote to standard error for the first time.
    void errorOutputBegan();

private:
    struct Entry
    {
        QString commandFile;
        QByteArray partialLine;
        bool wroteErrors = false;
    };

    void addLine(const QString &line);
    // A line of the entry: after its command file again if another entry
    // wrote the line before.
    void addEntryLine(int entry, QByteArrayView line, LineRing::Kind kind);
    // A whole line of standard error, cut into pieces if it is too long.
    void addErrorLine(int entry, QByteArrayView bytes);
    // More of the entry's unfinished line, and whether it ends there.
    void continueLine(int entry, QByteArrayView bytes, bool lineEnds);
    void flushPartialLine(int entry);

    LineRing m_lines;
    std::map<int, Entry> m_open;
    int m_nextEntry = 1;
    int m_lastWriter = 0;
};
