#include "engine/EngineLauncher.h"

#include "core/FileError.h"
#include "core/TextFile.h"
#include "engine/ProcessGroup.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

void setUpWindowsConsole([[maybe_unused]] QProcess &process)
{
#ifdef Q_OS_WIN
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *args) {
        static wchar_t title[] = L"Quelm Execution";
        args->flags |= CREATE_NEW_CONSOLE;
        args->startupInfo->lpTitle = title;
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = SW_SHOWNORMAL;
    });
#endif
}

void setUpProcessGroup([[maybe_unused]] QProcess &process)
{
#ifdef Q_OS_UNIX
    // Runs in the child between fork and exec: a group of its own, which
    // everything the engine starts joins, so that Stop can end all of it.
    process.setChildProcessModifier([] {
        ::setpgid(0, 0);
#ifdef F_SETPIPE_SZ
        // Room for a megabyte of standard error: an engine that floods it
        // writes on while the program takes in the last piece.
        ::fcntl(STDERR_FILENO, F_SETPIPE_SZ, 1 << 20);
#endif
    });
#endif
}

// The started process's group, when it leads one of its own.
qint64 groupOf([[maybe_unused]] qint64 pid)
{
#ifdef Q_OS_UNIX
    if (pid > 0 && ::getpgid(static_cast<pid_t>(pid)) == static_cast<pid_t>(pid))
        return pid;
#endif
    return 0;
}

} // namespace

bool isExecutableFile(const QString &path, const QString &workingDirectory)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(QDir(workingDirectory), path);
    return info.isFile() && info.isExecutable();
}

bool isProgramFound(const QString &program)
{
    if (program.contains(QLatin1Char('/')))
        return isExecutableFile(program, QDir::currentPath());
    return !QStandardPaths::findExecutable(program).isEmpty();
}

ProcessEngineRun::ProcessEngineRun(LaunchScript::Shell shell) : m_shell(shell)
{
    m_run.mark = ProcessGroup::newMark();
    m_process.setStandardInputFile(QProcess::nullDevice());
    // The script sends the engine's output to the output file; whatever the
    // shell itself prints there is of no use. Standard error, the engine's
    // and the shell's, is read and handed on as it comes.
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    setUpProcessGroup(m_process);
    // Every process of the run inherits its mark, which tells them from
    // those of other runs once their parents have ended.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(ProcessGroup::RunVariable), QString::fromLatin1(m_run.mark));
    m_process.setProcessEnvironment(environment);
    QObject::connect(&m_process, &QProcess::readyReadStandardError, this,
                     [this] { emit errorOutput(m_process.readAllStandardError()); });
    QObject::connect(&m_process, &QProcess::finished, this, [this] {
        m_wallMs = m_clock.elapsed();
        ProcessGroup::rootEnded(m_pid);
        // Reaped: its pid may be another process's from now on.
        m_run.root = 0;
        emit ended();
    });
}

ProcessEngineRun::~ProcessEngineRun()
{
    // Only reached while running when the program ends under a run.
    if (!isRunning())
        return;
    stop();
    if (!m_process.waitForFinished(ProcessGroup::GraceMs)) {
        ProcessGroup::kill(m_run);
        m_process.kill();
        m_process.waitForFinished();
    }
    ProcessGroup::rootEnded(m_pid);
}

bool ProcessEngineRun::start(const QString &scriptPath, const QString &workingDirectory)
{
    m_process.setWorkingDirectory(workingDirectory);
    if (m_shell == LaunchScript::Shell::WindowsCmd) {
        setUpWindowsConsole(m_process);
        m_process.setProgram(QStringLiteral("cmd.exe"));
#ifdef Q_OS_WIN
        // cmd.exe drops the outer pair of quotes, leaving the quoted path.
        m_process.setNativeArguments(
            QStringLiteral("/d /c \"\"%1\"\"").arg(QDir::toNativeSeparators(scriptPath)));
#else
        m_process.setArguments({QStringLiteral("/d"), QStringLiteral("/c"), scriptPath});
#endif
    } else {
        // The script is opened here, before start() returns, and handed to sh
        // as its input: the next run may replace the file at once (a master
        // run after a command-file run), and a shell that opened it by name
        // a moment later would run the wrong engine.
        m_process.setStandardInputFile(scriptPath);
        m_process.setProgram(QStringLiteral("/bin/sh"));
        m_process.setArguments({QStringLiteral("-s")});
    }
    ProcessGroup::adoptOrphans();
    m_clock.start();
    m_process.start();
    if (!m_process.waitForStarted(-1))
        return false;
    m_pid = m_process.processId();
    ProcessGroup::rootStarted(m_pid);
    m_run.group = groupOf(m_pid);
    m_run.root = m_pid;
    return true;
}

bool ProcessEngineRun::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

void ProcessEngineRun::stop()
{
    if (!isRunning() || m_stopped)
        return;
    m_stopped = true;
#ifdef Q_OS_WIN
    m_process.kill();
#else
    ProcessGroup::stop(m_run);
#endif
}

RunOutcome ProcessEngineRun::outcome() const
{
    RunOutcome outcome;
    outcome.wallMs = m_wallMs;
    outcome.code = m_process.exitCode();
    if (m_stopped)
        outcome.kind = RunOutcome::Kind::Stopped;
    else if (m_process.exitStatus() == QProcess::CrashExit)
        outcome.kind = RunOutcome::Kind::Signalled;
    return outcome;
}

ProcessEngineLauncher::ProcessEngineLauncher(LaunchScript::Shell shell) : m_shell(shell)
{}

bool ProcessEngineLauncher::writeScript(const QString &scriptFolder, const QStringList &launcher,
                                        const QString &enginePath, const QString &commandFileName,
                                        const QString &outputFileName)
{
    m_scriptPath.clear();
    m_enginePath = enginePath;
    const QString path = QDir(scriptFolder).filePath(LaunchScript::scriptFileName(m_shell));
    try {
        TextFile::writeBytes(
            path, LaunchScript::scriptBytes(m_shell, enginePath, commandFileName, outputFileName, launcher));
    } catch (const FileError &) {
        return false;
    }
    m_scriptPath = path;
    return true;
}

std::unique_ptr<EngineRun> ProcessEngineLauncher::start(const QString &workingDirectory)
{
    // The shell would start even for an engine it cannot run; catching that
    // here lets the caller report it at once.
    if (m_scriptPath.isEmpty() || !isExecutableFile(m_enginePath, workingDirectory))
        return nullptr;
    auto run = std::make_unique<ProcessEngineRun>(m_shell);
    if (!run->start(m_scriptPath, workingDirectory))
        return nullptr;
    return run;
}
