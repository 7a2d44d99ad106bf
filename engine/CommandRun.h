#pragma once

#include "engine/RunControl.h"

#include <memory>

class EngineRun;
class OutputFollower;
class QTimer;

// The command-file run: the engine runs on the command window's file while
// the program stays usable, and the output window shows what it wrote once
// the timer (Timer1, every 500 ms) sees the run's end. While a run is in
// progress the controls that would disturb it are locked (lockChanged) and
// the output window cannot be edited; stop() ends the engine early.
class CommandRun : public RunControl
{
    Q_OBJECT

public:
    CommandRun(const RunContext &context, QObject *parent);
    ~CommandRun() override;

    bool isRunning() const { return m_running; }
    // The process of the run in progress, or of the last one.
    EngineRun *process() const { return m_process.get(); }
    QTimer *timer() const { return m_timer; }

    // The status text while a run is in progress: it tells how to end one.
    static QString runningStatus();

    void ExecQuelm();
    void CheckQuelmActivation();
    // Ends the engine of the run in progress and all it started; the run
    // then ends as any other, at the timer's next tick.
    void stop();

    // While a master-file run holds the program, the run in progress must
    // neither end under it nor lose its output file: hold() stops the timer
    // and keeps the output file's name, resume() gives both back.
    void hold();
    void resume();

    // Whether the output window shows the output file as the engine writes
    // it (OutputFollower); from the next look on when a run is in progress.
    void setFollowsOutput(bool follows);
    bool followsOutput() const { return m_followsOutput; }

signals:
    // The run's controls are to be disabled (true) or enabled again (false).
    void lockChanged(bool locked);
    // A word on what the output window does not show yet; empty when none.
    void outputNoteChanged(const QString &text);

private:
    void endRun();
    void showOutput();
    void setLocked(bool locked);
    void startFollowing();

    QTimer *m_timer = nullptr;
    bool m_running = false;
    std::unique_ptr<EngineRun> m_process;
    int m_logEntry = 0;
    QString m_heldOutputFileName;
    QString m_commandFile;
    QString m_outputFile;
    bool m_followsOutput = true;
    std::unique_ptr<OutputFollower> m_follower;
};
