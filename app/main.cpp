#include "app/CommandLine.h"
#include "app/MDIFrame.h"
#include "app/SingleInstance.h"
#include "app/Version.h"
#include "core/PathHelpers.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <memory>

namespace {

// How long a later start waits for the running program to take its files;
// it may be busy with a large file for a moment.
constexpr int HandOverTimeoutMs = 10000;

} // namespace

int main(int argc, char *argv[])
{
    // --help and --version must answer on a terminal without a display, so the
    // command line is read before QApplication connects to one.
    const CommandLineOutcome commandLine = parseCommandLine(nativeArguments(argc, argv));
    std::fputs(commandLine.standardOutput.toLocal8Bit().constData(), stdout);
    std::fputs(commandLine.standardError.toLocal8Bit().constData(), stderr);
    if (!commandLine.startWindow)
        return commandLine.exitCode;

    // Relative names are the start's folder's, also for a program that runs
    // in another folder.
    FilesAtLines files = filesAtLines(commandLine.files, Paths::fileExists, commandLine.namesFrom);
    for (FileAtLine &file : files)
        file.path = Paths::absolutePath(file.path, QDir::currentPath());

    // The program that runs in this desktop session takes the files, and
    // this start ends; no window, nor a display connection, is needed for it.
    std::unique_ptr<SingleInstance::StartLock> startLock;
    const QString socket = commandLine.newInstance ? QString() : SingleInstance::socketPath();
    if (!socket.isEmpty()) {
        startLock = std::make_unique<SingleInstance::StartLock>(socket);
        const QCoreApplication handing(argc, argv);
        const SingleInstance::Message message{files, qgetenv("XDG_ACTIVATION_TOKEN")};
        if (SingleInstance::handOver(socket, message, HandOverTimeoutMs))
            return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ostrel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ostrel"));
    QApplication::setApplicationVersion(QStringLiteral(OSTREL_VERSION));
    // Lets a Wayland desktop match the window to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.ostrel.Ostrel"));

    // Only the start that holds the lock listens: without it a program that
    // runs may own the socket, and taking it would make two.
    InstanceServer server;
    if (startLock && startLock->held())
        server.listen(socket);
    startLock.reset();

    QtUserDialogs dialogs;
    TFrameForm frame(dialogs, QCoreApplication::applicationDirPath(), files);
    frame.setSessionKept(commandLine.restoreSession);
    QObject::connect(&server, &InstanceServer::filesHandedOver, &frame, &TFrameForm::openHandedFiles);
    frame.show();
    return QApplication::exec();
}
