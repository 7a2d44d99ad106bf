#pragma once

#include "engine/MasterSchedule.h"
#include "engine/RunControl.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CommandRun;
class EngineRun;
class MasterProgress;
class QEventLoop;

// The master-file run: the engine runs on each command file that the master
// window's file lists, in the order listed. With one at a time (the
// default) each starts once the one before has ended; with more
// (RunSettings::atOnce) up to that many run together, each starting as soon
// as a place is free, and never two on the same command or output file.
// A line that fails (a missing file) starts nothing more, and is reported
// once the engines already started have ended.
// The call returns when the last has ended or the run stops at a failure;
// meanwhile a modal progress window keeps the program painted but takes no
// input but its Stop button. A command-file run in progress is held
// meanwhile: its process, its output file name and its timer are its own.
class MasterRun : public RunControl
{
    Q_OBJECT

public:
    MasterRun(const RunContext &context, CommandRun &commandRun, QObject *parent);
    ~MasterRun() override;

    void ExecMaster();
    // Ends the engines that are running and starts no further line; the
    // run then ends as after its last line.
    void stop();

private:
    // A listed line, looked up: the files it names and what it must not share.
    struct Line
    {
        MasterSchedule::Job job;
        QString commandFile;
        QString outputFile;
    };
    struct Running
    {
        std::unique_ptr<EngineRun> run;
        int logEntry = 0;
        Line line;
    };
    // What one ExecMaster works through.
    struct Batch
    {
        Batch(const QStringList &masterLines, const QStringList &words, int atOnce, MasterProgress &window);

        QStringList lines;
        // Where a relative line is looked for when the previous command
        // file's folder does not hold it.
        QString masterFolder;
        QStringList launcherWords;
        MasterSchedule schedule;
        MasterProgress &progress;
        std::vector<Running> running;
        // The next line, looked up, while it waits for a line on the same files.
        std::optional<Line> waiting;
        // Set by the first failure: what to tell the user once the engines
        // already started have ended.
        std::function<void()> failure;
        bool failed = false;
        QEventLoop *wait = nullptr;
    };

    bool prepare(QByteArray &masterText, QStringList &launcherWords);
    void runLines(const QStringList &lines, const QStringList &launcherWords, const QString &masterFile);
    // Starts lines while the schedule lets them.
    void startLines(Batch &batch);
    // The steps of a line before it can start; nothing when the run stops there.
    std::optional<Line> lookUp(Batch &batch, int lineNumber);
    // The command file a line names, as an absolute path; empty when there is none.
    static QString findListedFile(const QString &line, const QString &masterFolder);
    // Shows the line's file and starts its engine; false when the run stops.
    bool startLine(Batch &batch, const Line &line);
    // Records the first failure and starts no further line.
    void fail(Batch &batch, std::function<void()> report);
    void waitForAnEnd(Batch &batch);
    // Logs the runs that have ended and frees their places.
    void collectEnded(Batch &batch);
    void showProgress(Batch &batch);

    CommandRun &m_commandRun;
    Batch *m_batch = nullptr;
};
