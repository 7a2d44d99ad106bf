#pragma once

class QObject;
class TFrameForm;

// The command-file run: the engine runs on the command window's file while
// the program stays usable, and the output window shows what it wrote once
// the frame's timer sees the run's end. The run's state is the frame's
// (EngineRunning, EngineProcess, Timer1), so this class holds none.
class CommandRun
{
public:
    explicit CommandRun(TFrameForm &frame) : m_frame(frame) {}

    void ExecQuelm();
    void CheckQuelmActivation();

    // The controls that a run disables and its end enables again, all of them together.
    void setLocked(bool locked);

private:
    void endRun();
    void showOutput();

    TFrameForm &m_frame;
};
