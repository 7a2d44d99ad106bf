#pragma once

#include <QByteArray>

class LineReader;
class MasterProgress;
class TFrameForm;

// The master-file run: the engine runs on each command file that the master
// window's file lists, one after another, each once the one before has ended.
// The call returns when the last has ended or the run stops at a failure;
// meanwhile a modal progress window keeps the program painted but takes no
// input. A command-file run in progress is left alone: its process, its
// output file name and its timer are its own.
class MasterRun
{
public:
    explicit MasterRun(TFrameForm &frame) : m_frame(frame) {}

    void ExecMaster();

private:
    bool prepare(QByteArray &masterText);
    void runLines(LineReader &reader);
    // Runs the engine on one listed command file; false when the run stops.
    bool runLine(int lineNumber, const QString &line, MasterProgress &progress);
    // Reports an engine that did not start or run; always false.
    bool cannotExecute(MasterProgress &progress);

    TFrameForm &m_frame;
};
