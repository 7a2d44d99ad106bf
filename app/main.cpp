#include "app/CommandLine.h"
#include "app/MDIFrame.h"
#include "app/Version.h"
#include "ui/UserDialogs.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    // --help and --version must answer on a terminal without a display, so the
    // command line is read before QApplication connects to one.
    const CommandLineOutcome commandLine = parseCommandLine(nativeArguments(argc, argv));
    std::fputs(commandLine.standardOutput.toLocal8Bit().constData(), stdout);
    std::fputs(commandLine.standardError.toLocal8Bit().constData(), stderr);
    if (!commandLine.startWindow)
        return commandLine.exitCode;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ostrel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ostrel"));
    QApplication::setApplicationVersion(QStringLiteral(OSTREL_VERSION));
    // Lets a Wayland desktop match the window to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.ostrel.Ostrel"));

    QtUserDialogs dialogs;
    TFrameForm frame(dialogs, QCoreApplication::applicationDirPath(), commandLine.files);
    frame.show();
    return QApplication::exec();
}
