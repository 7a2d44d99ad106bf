// A run whose engine floods standard error: 100 MB in lines of 100 bytes
// (or as given), read into the run log and shown in the Run Log pane while
// the run goes on. Five runs, each in a fresh frame in a process of its own,
// measure the run's time and so the rate at which standard error is read, the
// longest gap between two ticks of a 10 ms timer (the program's
// responsiveness) and the peak memory above the idle frame; the floor is the
// longest gap of the same timer over the same time with the frame idle,
// measured right after the run, and the time the same engine takes with its
// standard error going to /dev/null. Prints each run and the medians.
// Targets: 1 GB in under 10 s, gaps under 100 ms, peak under 100 MB above idle.
//
//   QT_QPA_PLATFORM=offscreen bench_run_log [MEGABYTES [LINE_BYTES]]   (default 100 100; 0: no line ends)
#include "BenchTools.h"
#include "BenchWindows.h"
#include "ScriptedDialogs.h"
#include "app/MDIFrame.h"
#include "engine/RunLog.h"

#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using BenchTools::median;
using BenchTools::statusKb;
using BenchTools::writeFile;

// Sets the peak (VmHWM) back to the present size.
void resetPeak()
{
    QFile file(QStringLiteral("/proc/self/clear_refs"));
    if (file.open(QIODevice::WriteOnly))
        file.write("5");
}

// A shell line that writes megabytes of lines of lineBytes (line end
// included) to standard error; of zero bytes without a line end.
QByteArray floodLine(qint64 megabytes, int lineBytes)
{
    if (lineBytes == 0)
        return "head -c " + QByteArray::number(megabytes * 1024 * 1024) + " /dev/zero >&2";
    const QByteArray line =
        lineBytes > 1 ? "\"$(printf '%0" + QByteArray::number(lineBytes - 1) + "d' 0)\"" : "''";
    return "yes " + line + " | head -c " + QByteArray::number(megabytes * 1024 * 1024) + " >&2";
}

// The floor of the rate: the same flood into /dev/null, in ms.
qint64 floodAloneMs(qint64 megabytes, int lineBytes)
{
    QElapsedTimer clock;
    clock.start();
    QProcess::execute(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QString::fromUtf8(floodLine(megabytes, lineBytes) + " 2>/dev/null")});
    return clock.elapsed();
}

// One run in a frame of its own, in this process: prints
// "ms gap floor peakKb idleKb keptLines".
int measureOneRun(qint64 megabytes, int lineBytes)
{
    QTemporaryDir dir;
    const QString engine = dir.filePath(QStringLiteral("flood"));
    BenchTools::writeScript(engine, "#!/bin/sh\n" + floodLine(megabytes, lineBytes) + "\necho done\n");
    const QString command = dir.filePath(QStringLiteral("flood.cf"));
    writeFile(command, "1\r\n");

    ScriptedDialogs dialogs;
    TFrameForm frame(dialogs, dir.path());
    readyToRun(frame, engine, command);
    QTest::qWait(200);

    resetPeak();
    const qint64 idle = statusKb("VmRSS");
    QElapsedTimer clock;
    clock.start();
    const auto gap = qint64(BenchTools::longestGapWhile(10, [&frame] {
        frame.ExecQuelm();
        while (frame.EngineRunning())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }));
    const qint64 ms = clock.elapsed();
    const qint64 peak = statusKb("VmHWM");
    const auto floor = qint64(BenchTools::longestGapWhile(10, [ms] { QTest::qWait(int(ms)); }));
    if (!frame.runLogDock()->isVisible())
        return 1;
    std::printf("%lld %lld %lld %lld %lld %d\n", ms, gap, floor, peak, idle, frame.runLog()->keptLineCount());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 3 && arguments.at(1) == QLatin1String("--one"))
        return measureOneRun(arguments.at(2).toLongLong(), arguments.at(3).toInt());
    const qint64 megabytes = arguments.size() > 1 ? arguments.at(1).toLongLong() : 100;
    const int lineBytes = arguments.size() > 2 ? qMax(0, arguments.at(2).toInt()) : 100;

    // Each run in a process of its own, so that no run starts from memory
    // that an earlier one left behind.
    std::vector<double> gaps, floors, peaks, idles, times, alone;
    for (int run = 0; run < 5; ++run) {
        alone.push_back(double(floodAloneMs(megabytes, lineBytes)));
        QProcess one;
        one.start(QApplication::applicationFilePath(),
                  {QStringLiteral("--one"), QString::number(megabytes), QString::number(lineBytes)});
        if (!one.waitForFinished(-1) || one.exitCode() != 0)
            return 1;
        const QList<QByteArray> fields = one.readAllStandardOutput().trimmed().split(' ');
        if (fields.size() != 6)
            return 1;
        const double ms = fields.at(0).toDouble();
        const double gap = fields.at(1).toDouble();
        const double floor = fields.at(2).toDouble();
        const double peak = (fields.at(3).toDouble() - fields.at(4).toDouble()) / 1024;
        const double idle = fields.at(4).toDouble() / 1024;
        std::printf(
            "run %d: %.0f ms (%.0f MB/s; into /dev/null %.0f ms), longest tick gap %.0f ms (idle %.0f "
            "ms), peak %.1f MB above %.1f MB idle, %s lines kept\n",
            run + 1, ms, double(megabytes) * 1000 / qMax(1.0, ms), alone.back(), gap, floor, peak, idle,
            fields.at(5).constData());
        times.push_back(ms);
        gaps.push_back(gap);
        floors.push_back(floor);
        peaks.push_back(peak);
        idles.push_back(idle);
    }
    std::printf("%lld MB of standard error in lines of %d bytes, median of %zu runs: run %.0f ms (%.0f MB/s; "
                "into /dev/null %.0f ms), longest tick gap %.0f ms (idle floor %.0f ms), peak %.1f MB above "
                "idle (idle %.1f MB)\n",
                megabytes, lineBytes, gaps.size(), median(times), double(megabytes) * 1000 / median(times),
                median(alone), median(gaps), median(floors), median(peaks), median(idles));
    return 0;
}
