#include "engine/EngineLauncher.h"

#include "core/FileError.h"
#include "core/TextFile.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// A POSIX shell exits 126 when it cannot execute a command it found and 127
// when it finds none.
constexpr int ShellCannotExecute = 126;
constexpr int ShellNotFound = 127;

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

} // namespace

bool isExecutableFile(const QString &path, const QString &workingDirectory)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(QDir(workingDirectory), path);
    return info.isFile() && info.isExecutable();
}

ProcessEngineRun::ProcessEngineRun(LaunchScript::Shell shell) : m_shell(shell)
{
    m_process.setStandardInputFile(QProcess::nullDevice());
    // The script sends the engine's output to the output file; whatever the
    // shell itself prints is of no use, but error messages are.
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

ProcessEngineRun::~ProcessEngineRun()
{
    // Only reached while running when the program ends under a run; the
    // engine then goes with it instead of writing to a file nobody shows.
    if (isRunning()) {
        m_process.kill();
        m_process.waitForFinished();
    }
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
    m_process.start();
    return m_process.waitForStarted(-1);
}

bool ProcessEngineRun::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

bool ProcessEngineRun::engineNotExecuted() const
{
    if (isRunning() || m_shell != LaunchScript::Shell::Posix ||
        m_process.exitStatus() != QProcess::NormalExit)
        return false;
    const int code = m_process.exitCode();
    return code == ShellCannotExecute || code == ShellNotFound;
}

void ProcessEngineRun::waitUntilEnded()
{
    QEventLoop loop;
    QObject::connect(&m_process, &QProcess::stateChanged, &loop, [&loop](QProcess::ProcessState state) {
        if (state == QProcess::NotRunning)
            loop.quit();
    });
    while (isRunning())
        loop.exec();
}

ProcessEngineLauncher::ProcessEngineLauncher(LaunchScript::Shell shell) : m_shell(shell)
{}

bool ProcessEngineLauncher::writeScript(const QString &scriptFolder, const QString &enginePath,
                                        const QString &commandFileName, const QString &outputFileName)
{
    m_scriptPath.clear();
    m_enginePath = enginePath;
    const QString path = QDir(scriptFolder).filePath(LaunchScript::scriptFileName(m_shell));
    try {
        TextFile::writeBytes(path,
                             LaunchScript::scriptBytes(m_shell, enginePath, commandFileName, outputFileName));
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
