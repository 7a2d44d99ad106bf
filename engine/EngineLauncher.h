#pragma once

#include "engine/LaunchScript.h"
#include "engine/ProcessGroup.h"
#include "engine/RunLog.h"

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>

#include <memory>

// One started engine run: the process of the launch script, in a process
// group of its own. The frame keeps the command-file run's one as
// EngineProcess; a master-file run keeps its own.
class EngineRun : public QObject
{
    Q_OBJECT

public:
    // True until the process has ended; never true for a process that did not start.
    virtual bool isRunning() const = 0;

    // Ends every process of the run (see ProcessGroup::stop); the run then
    // ends as any other, and its outcome says it was stopped.
    virtual void stop() = 0;

    // After the end: how the engine ended and how long it ran. No exit
    // status means anything to the program: the engine's are its own.
    virtual RunOutcome outcome() const = 0;

    // The process group of the run (the id of the started process); 0 when none.
    virtual qint64 processGroup() const = 0;

signals:
    // Bytes the engine or the shell wrote to standard error, as they come.
    void errorOutput(const QByteArray &bytes);
    // The process has ended: isRunning() is false from now on.
    void ended();
};

// Writes the launch script and starts it. The program uses the QProcess
// launcher below; tests substitute a fake where a failure must be forced.
class EngineLauncher
{
public:
    virtual ~EngineLauncher() = default;

    // Creates or replaces the launch script in scriptFolder for one run; the
    // engine is started through the launcher's words, if any. False when it
    // cannot be written.
    virtual bool writeScript(const QString &scriptFolder, const QStringList &launcher,
                             const QString &enginePath, const QString &commandFileName,
                             const QString &outputFileName) = 0;

    // Starts the script last written, with workingDirectory as the current
    // folder. Null when nothing started: no script written, the engine is not
    // an executable file, or the shell itself could not be started. The
    // script is handed to the shell before this returns, so the next
    // writeScript may replace the file at once.
    virtual std::unique_ptr<EngineRun> start(const QString &workingDirectory) = 0;
};

class ProcessEngineRun : public EngineRun
{
    Q_OBJECT

public:
    explicit ProcessEngineRun(LaunchScript::Shell shell);
    // A run still going when the program ends is stopped as Stop does it:
    // SIGTERM first, so that a batch system's client can cancel its job.
    ~ProcessEngineRun() override;

    // Starts the shell on scriptPath; false when it did not start.
    bool start(const QString &scriptPath, const QString &workingDirectory);

    bool isRunning() const override;
    void stop() override;
    RunOutcome outcome() const override;
    qint64 processGroup() const override { return m_run.group; }

private:
    LaunchScript::Shell m_shell;
    QProcess m_process;
    qint64 m_pid = 0;
    ProcessGroup::Run m_run;
    QElapsedTimer m_clock;
    qint64 m_wallMs = 0;
    bool m_stopped = false;
};

class ProcessEngineLauncher : public EngineLauncher
{
public:
    explicit ProcessEngineLauncher(LaunchScript::Shell shell = LaunchScript::platformShell());

    bool writeScript(const QString &scriptFolder, const QStringList &launcher, const QString &enginePath,
                     const QString &commandFileName, const QString &outputFileName) override;
    std::unique_ptr<EngineRun> start(const QString &workingDirectory) override;

    // Path of the script last written; empty before the first write and after a failed one.
    QString scriptPath() const { return m_scriptPath; }

private:
    LaunchScript::Shell m_shell;
    QString m_scriptPath;
    QString m_enginePath;
};

// Whether path names a file the system can execute, seen from workingDirectory.
bool isExecutableFile(const QString &path, const QString &workingDirectory);

// Whether the shell finds program, a launcher's first word: a path is taken
// as it stands, a bare name is searched for on PATH.
bool isProgramFound(const QString &program);
