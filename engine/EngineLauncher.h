#pragma once

#include "engine/LaunchScript.h"

#include <QProcess>
#include <QString>

#include <memory>

// One started engine run: the process of the launch script. The frame keeps
// the command-file run's one as EngineProcess; a master-file run keeps its own.
class EngineRun
{
public:
    virtual ~EngineRun() = default;

    // True until the process has ended; never true for a process that did not start.
    virtual bool isRunning() const = 0;

    // After the end: the shell found the engine but could not execute it, or
    // did not find it (POSIX shell exit 126 or 127). The run then produced no
    // output and is reported as a failed start, not as an empty result.
    virtual bool engineNotExecuted() const = 0;

    // Returns once the process has ended, handling events meanwhile so that
    // the program stays painted.
    virtual void waitUntilEnded() = 0;
};

// Writes the launch script and starts it. The program uses the QProcess
// launcher below; tests substitute a fake where a failure must be forced.
class EngineLauncher
{
public:
    virtual ~EngineLauncher() = default;

    // Creates or replaces the launch script in scriptFolder for one run.
    // False when it cannot be written.
    virtual bool writeScript(const QString &scriptFolder, const QString &enginePath,
                             const QString &commandFileName, const QString &outputFileName) = 0;

    // Starts the script last written, with workingDirectory as the current
    // folder. Null when nothing started: no script written, the engine is not
    // an executable file, or the shell itself could not be started.
    virtual std::unique_ptr<EngineRun> start(const QString &workingDirectory) = 0;
};

class ProcessEngineRun : public EngineRun
{
public:
    explicit ProcessEngineRun(LaunchScript::Shell shell);
    ~ProcessEngineRun() override;

    // Starts the shell on scriptPath; false when it did not start.
    bool start(const QString &scriptPath, const QString &workingDirectory);

    bool isRunning() const override;
    bool engineNotExecuted() const override;
    void waitUntilEnded() override;

private:
    LaunchScript::Shell m_shell;
    QProcess m_process;
};

class ProcessEngineLauncher : public EngineLauncher
{
public:
    explicit ProcessEngineLauncher(LaunchScript::Shell shell = LaunchScript::platformShell());

    bool writeScript(const QString &scriptFolder, const QString &enginePath, const QString &commandFileName,
                     const QString &outputFileName) override;
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
