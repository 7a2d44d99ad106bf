#pragma once

#include "engine/RunControl.h"

#include <QByteArray>

class CommandRun;
class EngineRun;
class LineReader;
class MasterProgress;

// The master-file run: the engine runs on each command file that the master
// window's file lists, one after another, each once the one before has ended.
// The call returns when the last has ended or the run stops at a failure;
// meanwhile a modal progress window keeps the program painted but takes no
// input but its Stop button. A command-file run in progress is held
// meanwhile: its process, its output file name and its timer are its own.
class MasterRun : public RunControl
{
    Q_OBJECT

public:
    MasterRun(const RunContext &context, CommandRun &commandRun, QObject *parent);

    void ExecMaster();
    // Ends the engine that is running and runs no further line; the run then
    // ends as after its last line.
    void stop();

private:
    bool prepare(QByteArray &masterText);
    void runLines(LineReader &reader);
    // Runs the engine on one listed command file; false when the run stops.
    bool runLine(int lineNumber, const QString &line, MasterProgress &progress);
    // Reports an engine that did not start; always false.
    bool cannotExecute(MasterProgress &progress, const QString &commandFile);

    CommandRun &m_commandRun;
    EngineRun *m_current = nullptr;
    bool m_stopRequested = false;
};
