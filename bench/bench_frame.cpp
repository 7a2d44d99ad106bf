// Timings of the frame as a whole, each the median of five runs:
//
//   startup   from starting a process to its frame painted, with a settings
//             file that reopens a 1 MB command file and a 10 MB output file
//             (the process is this program again, started as the program is)
//   f1        from F1 to the help window painted, with a 20 MB help file of
//             100,000 keywords: the first F1 of a fresh process (the program
//             started as for "startup", with the help file in its settings),
//             and in one warm process
//   runend    from the engine's end to the output shown, for a 76 MB output
//             (the end is handled at once, without the timer's own wait)
//   master    a master file of 200 command files with a trivial engine
//   damagedini  from starting a process to its frame painted, with a settings
//             file whose output history ends in 100 MB of binary bytes, and
//             the size the file is written back as when the frame closes; the
//             same file without the tail is the floor
#include "BenchFiles.h"
#include "BenchTools.h"
#include "ScriptedDialogs.h"
#include "app/MDIFrame.h"
#include "core/TextFile.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "engine/EngineLauncher.h"
#include "help/MDIHelp.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWindow>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

using BenchTools::median;
using BenchTools::writeFile;

QByteArray linesOfSize(qint64 bytes)
{
    const QByteArray line = QByteArray(74, 'r') + "\r\n";
    QByteArray text;
    text.reserve(bytes);
    while (text.size() + line.size() <= bytes)
        text += line;
    return text;
}

std::unique_ptr<TFrameForm> startFrame(ScriptedDialogs &dialogs, const QString &home)
{
    auto frame = std::make_unique<TFrameForm>(dialogs, home);
    // The start-up alone: a session left by the user would add its windows.
    frame->setSessionKept(false);
    frame->resize(800, 600);
    frame->show();
    (void)QTest::qWaitForWindowExposed(frame.get());
    QApplication::processEvents();
    return frame;
}

qint64 monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Shows a widget and returns once it is painted.
void showPainted(QWidget &widget)
{
    widget.show();
    while (!widget.windowHandle() || !widget.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
    widget.repaint();
    QApplication::processEvents();
}

// The child's side of "startup": the program's own start, then the moment of
// the painted frame on the clock that the parent shares; with close, the
// frame is closed as the user closes it, which writes the settings file.
int startupChild(const QString &home, bool close)
{
    QtUserDialogs dialogs;
    TFrameForm frame(dialogs, home);
    showPainted(frame);
    std::printf("%lld\n", static_cast<long long>(monotonicNanoseconds()));
    std::fflush(stdout);
    if (close)
        frame.close();
    return 0;
}

// The time from starting a child process to its painted frame, in ms, with
// ini written as the home folder's settings file first; negative on failure.
double timedStart(const QString &self, const QString &home, const QByteArray &ini, bool close = false)
{
    writeFile(home + QStringLiteral("/ostrel.ini"), ini);
    QProcess child;
    const qint64 started = monotonicNanoseconds();
    QStringList arguments{QStringLiteral("startup-child"), home};
    if (close)
        arguments.append(QStringLiteral("close"));
    child.start(self, arguments);
    if (!child.waitForFinished(300000) || child.exitCode() != 0)
        return -1;
    const qint64 painted = child.readAllStandardOutput().trimmed().toLongLong();
    return (painted - started) / 1e6;
}

QByteArray settingsFile(const QString &folder, const QString &helpFile, const QByteArray &histories)
{
    return "[Main Window Size]\r\n10 10 800 600\r\n[Command Window Size]\r\n166 4 600 250\r\n"
           "[Output Window Size]\r\n166 260 600 250\r\n[Explorer Window Size]\r\n4 4 158 500\r\n"
           "[Quelm Files]\r\nquelm\r\n" +
           helpFile.toUtf8() + "\r\n[Working Directory]\r\n" + folder.toUtf8() +
           "\r\n[Command File Extension]\r\n.cf\r\n[Ouptut File Extension]\r\n.out\r\n"
           "[Screen Font]\r\n10 Courier New\r\n[Print Font]\r\n10 Courier New\r\n" +
           histories;
}

void benchStartup(const QTemporaryDir &dir, const QString &self)
{
    const QString command = dir.filePath(QStringLiteral("big.cf"));
    const QString output = dir.filePath(QStringLiteral("big.out"));
    writeFile(command, linesOfSize(1 << 20));
    writeFile(output, linesOfSize(10 << 20));
    const QString home = dir.filePath(QStringLiteral("home"));
    QDir().mkpath(home);
    const QByteArray ini = settingsFile(dir.path(), QStringLiteral("quelm.hlp"),
                                        "[Command History]\r\n" + command.toUtf8() +
                                            "\r\n[Output History]\r\n" + output.toUtf8() + "\r\n");
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        times.push_back(timedStart(self, home, ini));
        if (times.back() < 0)
            return;
    }
    std::printf("process start to painted frame, 1 MB + 10 MB files reopened: median %.0f ms\n",
                median(times));
}

// Bytes of every value but CR, LF and character 26, so that the tail is one
// line of the file: the worst a history reader can meet.
QByteArray binaryTail(qsizetype size)
{
    QByteArray tail(size, Qt::Uninitialized);
    quint32 state = 2463534242U;
    for (char &c : tail) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = char(state & 0xff);
        if (c == '\r' || c == '\n' || c == '\x1a')
            c = 'x';
    }
    return tail;
}

void benchDamagedIni(const QTemporaryDir &dir, const QString &self)
{
    const QString command = dir.filePath(QStringLiteral("small.cf"));
    const QString output = dir.filePath(QStringLiteral("small.out"));
    writeFile(command, "1+1\r\n");
    writeFile(output, "2\r\n");
    const QString home = dir.filePath(QStringLiteral("damaged"));
    QDir().mkpath(home);
    const QByteArray clean = settingsFile(dir.path(), QStringLiteral("quelm.hlp"),
                                          "[Command History]\r\n" + command.toUtf8() +
                                              "\r\n[Output History]\r\n" + output.toUtf8() + "\r\n");
    const QByteArray damaged = clean + binaryTail(100 << 20);
    std::vector<double> floor;
    std::vector<double> times;
    std::vector<double> written;
    std::vector<double> reading;
    for (int run = 0; run < 5; ++run) {
        floor.push_back(timedStart(self, home, clean));
        times.push_back(timedStart(self, home, damaged, true));
        written.push_back(double(QFileInfo(home + QStringLiteral("/ostrel.ini")).size()));
        if (floor.back() < 0 || times.back() < 0)
            return;
        // What any reader of the file pays: its bytes into memory.
        writeFile(home + QStringLiteral("/ostrel.ini"), damaged);
        QElapsedTimer timer;
        timer.start();
        const QByteArray bytes = TextFile::readBytes(home + QStringLiteral("/ostrel.ini"));
        reading.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("process start to painted frame, settings file with a 100 MB binary tail: median %.0f ms "
                "(floor, the same file without the tail: %.0f ms, and reading the file's bytes alone: "
                "%.0f ms); written back: %.0f bytes\n",
                median(times), median(floor), median(reading), median(written));
}

// The child's side of the fresh "f1": the program's own start, then F1 until
// the help window is painted, in milliseconds.
int firstHelpChild(const QString &home)
{
    QtUserDialogs dialogs;
    TFrameForm frame(dialogs, home);
    showPainted(frame);
    QApplication::setActiveWindow(&frame);
    if (!QTest::qWaitForWindowActive(&frame))
        return 1;
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &frame, Qt::Key_F1);
    if (!frame.HelpWindow())
        return 1;
    frame.HelpWindow()->repaint();
    QApplication::processEvents();
    std::printf("%f\n", timer.nsecsElapsed() / 1e6);
    return 0;
}

void benchFirstHelp(const QTemporaryDir &dir, const QString &self)
{
    const QString help = dir.filePath(QStringLiteral("quelm.hlp"));
    writeFile(help, BenchFiles::helpFile());
    // As a help file is when the program starts: written a while ago. (One
    // written in the last seconds is read again at every search, since a
    // change within the same tick of the file system's clock would not show.)
    while (QFileInfo(help).metadataChangeTime().msecsTo(QDateTime::currentDateTime()) < 2500)
        QThread::msleep(100);
    const QString home = dir.filePath(QStringLiteral("help-home"));
    QDir().mkpath(home);
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        writeFile(home + QStringLiteral("/ostrel.ini"),
                  settingsFile(dir.path(), help, "[Command History]\r\n[Output History]\r\n"));
        QProcess child;
        child.start(self, {QStringLiteral("f1-child"), home});
        if (!child.waitForFinished(60000) || child.exitCode() != 0)
            return;
        times.push_back(child.readAllStandardOutput().trimmed().toDouble());
    }
    std::printf("first F1 of a fresh process to the painted help window, 20 MB: median %.0f ms\n",
                median(times));
}

void benchHelp(const QTemporaryDir &dir)
{
    const QString help = dir.filePath(QStringLiteral("quelm.hlp"));
    writeFile(help, BenchFiles::helpFile());
    ScriptedDialogs dialogs;
    auto frame = startFrame(dialogs, dir.path());
    frame->HelpFilePath = help;
    QApplication::setActiveWindow(frame.get());
    (void)QTest::qWaitForWindowActive(frame.get());
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : frame.get(), Qt::Key_F1);
        if (!frame->HelpWindow())
            return;
        frame->HelpWindow()->repaint();
        QApplication::processEvents();
        times.push_back(timer.nsecsElapsed() / 1e6);
        frame->HelpWindow()->close();
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("F1 to the painted help window, 20 MB, 100,000 keywords: median %.0f ms\n", median(times));
}

// A run that has already ended, so that the end is measured alone.
class EndedRun : public EngineRun
{
public:
    bool isRunning() const override { return false; }
    void stop() override {}
    RunOutcome outcome() const override { return RunOutcome(); }
    qint64 processGroup() const override { return 0; }
};

// Starts nothing: every run has ended as soon as it began.
class EndedLauncher : public EngineLauncher
{
public:
    bool writeScript(const QString &, const QStringList &, const QString &, const QString &,
                     const QString &) override
    {
        return true;
    }
    std::unique_ptr<EngineRun> start(const QString &) override { return std::make_unique<EndedRun>(); }
};

void benchRunEnd(const QTemporaryDir &dir)
{
    const QString command = dir.filePath(QStringLiteral("run.cf"));
    writeFile(command, "1+1\r\n");
    writeFile(dir.filePath(QStringLiteral("run.out")), linesOfSize(76LL << 20));
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        ScriptedDialogs dialogs;
        auto frame = startFrame(dialogs, dir.path());
        frame->setEngineLauncher(std::make_unique<EndedLauncher>());
        frame->EnginePath = command; // any file: the launcher starts nothing
        frame->OpenCommand(command);
        frame->ExecQuelm();
        QElapsedTimer timer;
        timer.start();
        frame->CheckQuelmActivation();
        frame->OutputWindow()->repaint();
        QApplication::processEvents();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("end of a run to a 76 MB output shown: median %.0f ms\n", median(times));
}

void benchMaster(const QTemporaryDir &dir)
{
    const QString engine = dir.filePath(QStringLiteral("engine"));
    BenchTools::writeScript(engine, "#!/bin/sh\necho done\n");
    QByteArray master;
    for (int i = 0; i < 200; ++i) {
        const QString name = dir.filePath(QStringLiteral("job%1.cf").arg(i));
        writeFile(name, "1+1\r\n");
        master += name.toUtf8() + "\r\n";
    }
    const QString masterFile = dir.filePath(QStringLiteral("all.mst"));
    writeFile(masterFile, master);
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        ScriptedDialogs dialogs;
        auto frame = startFrame(dialogs, dir.path());
        frame->EnginePath = engine;
        dialogs.openAnswers.enqueue(masterFile);
        frame->OpenMasterClick();
        QElapsedTimer timer;
        timer.start();
        frame->ExecMaster();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double total = median(times);
    std::printf("master file of 200 command files: median %.0f ms, %.1f ms per file\n", total, total / 200);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (only == QLatin1String("startup-child") && argc > 2)
        return startupChild(QString::fromLocal8Bit(argv[2]), argc > 3);
    if (only == QLatin1String("f1-child") && argc > 2)
        return firstHelpChild(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir dir;
    const QString start = QDir::currentPath();
    if (only.isEmpty() || only == QLatin1String("startup"))
        benchStartup(dir, QCoreApplication::applicationFilePath());
    QDir::setCurrent(start);
    if (only.isEmpty() || only == QLatin1String("f1")) {
        benchFirstHelp(dir, QCoreApplication::applicationFilePath());
        QDir::setCurrent(start);
        benchHelp(dir);
    }
    QDir::setCurrent(start);
    if (only.isEmpty() || only == QLatin1String("runend"))
        benchRunEnd(dir);
    QDir::setCurrent(start);
    if (only.isEmpty() || only == QLatin1String("master"))
        benchMaster(dir);
    QDir::setCurrent(start);
    if (only.isEmpty() || only == QLatin1String("damagedini"))
        benchDamagedIni(dir, QCoreApplication::applicationFilePath());
    return 0;
}
