// The output window following an engine's output file as it is written.
//
//   bench_follow [RUNS] [SIZES_MB...]
//
// For each size (default 76 and 1024 MB) an engine writes that many
// megabytes of 80-byte lines to its output file in 64 KB pieces (dd), each
// run in a process of its own, with Execute, Follow Output on and, as the
// floor, off (the output shown only at the end, as before). Reported, as
// medians: the longest gap between two ticks of a 50 ms timer while the
// engine runs and while its end is shown, the peak memory (VmHWM) against
// the file's size, and the time from the engine's end to the final text
// shown (the end handled at once, without the 500 ms timer's own wait).
// BENCH_FOLLOW_RATE=MB makes the engine write that many megabytes a second,
// as an engine that calculates as it goes, instead of as fast as it can.
#include "BenchTools.h"
#include "BenchWindows.h"
#include "ScriptedDialogs.h"
#include "app/MDIFrame.h"
#include "core/UserSettings.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "engine/EngineLauncher.h"

#include <QAction>
#include <QApplication>
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

// One run in a frame of its own: prints "endMs runGap endGap peakKb idleKb".
int measureOneRun(qint64 megabytes, bool follow)
{
    QTemporaryDir dir;
    setUserSettingsFolder(dir.path());
    const QString engine = dir.filePath(QStringLiteral("writer"));
    const qint64 rate = qEnvironmentVariableIntValue("BENCH_FOLLOW_RATE");
    const QByteArray lines = "yes \"$(printf '%079d' 0)\" | ";
    // Paced: a burst of a second's megabytes, then a second's pause.
    const QByteArray body = rate > 0 ? "s=0; while [ $s -lt " + QByteArray::number(megabytes) + " ]; do " +
                                           lines + "head -c " + QByteArray::number(rate << 20) +
                                           "; s=$((s + " + QByteArray::number(rate) + ")); sleep 1; done\n"
                                     : lines + "dd bs=65536 count=" + QByteArray::number(megabytes * 16) +
                                           " iflag=fullblock status=none\n";
    BenchTools::writeScript(engine, "#!/bin/sh\n" + body);
    const QString command = dir.filePath(QStringLiteral("run.cf"));
    writeFile(command, "1\r\n");

    ScriptedDialogs dialogs;
    TFrameForm frame(dialogs, dir.path());
    readyToRun(frame, engine, command);
    frame.findChild<QAction *>(QStringLiteral("FollowOutput1"))->setChecked(follow);
    QTest::qWait(200);

    const qint64 idle = statusKb("VmRSS");
    BenchTools::LoopGaps ticks(50);
    ticks.start();
    frame.ExecQuelm();
    // The end is handled below, at once, rather than at the timer's next tick.
    frame.timer()->stop();
    while (frame.EngineProcess()->isRunning())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    // A last look of the following, as the 200 ms timer would give it.
    QTest::qWait(250);
    const qint64 runGap = qint64(ticks.longestMs());
    QElapsedTimer end;
    end.start();
    frame.CheckQuelmActivation();
    frame.OutputWindow()->repaint();
    QApplication::processEvents();
    const qint64 endMs = end.elapsed();
    QTest::qWait(100);
    const qint64 endGap = qint64(ticks.longestMs());
    if (frame.OutputWindow()->FileName != dir.filePath(QStringLiteral("run.out")))
        return 1;
    std::printf("%lld %lld %lld %lld %lld\n", endMs, runGap, endGap, statusKb("VmHWM"), idle);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--one"))
        return measureOneRun(args.at(2).toLongLong(), args.at(3) == QLatin1String("on"));

    const int runs = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 3;
    QList<qint64> sizes;
    for (qsizetype i = 2; i < args.size(); ++i)
        sizes.append(args.at(i).toLongLong());
    if (sizes.isEmpty())
        sizes = {76, 1024};

    std::printf("%-6s %-6s %10s %10s %10s %12s %8s\n", "MB", "follow", "end ms", "run gap", "end gap",
                "peak MB", "x file");
    for (const qint64 megabytes : sizes) {
        for (const bool follow : {false, true}) {
            std::vector<double> endMs, runGap, endGap, peak;
            for (int run = 0; run < runs; ++run) {
                QProcess one;
                one.start(args.at(0), {QStringLiteral("--one"), QString::number(megabytes),
                                       follow ? QStringLiteral("on") : QStringLiteral("off")});
                one.waitForFinished(-1);
                const QList<QByteArray> fields = one.readAllStandardOutput().trimmed().split(' ');
                if (one.exitCode() != 0 || fields.size() != 5) {
                    std::printf("run failed: %s\n", one.readAllStandardError().constData());
                    return 1;
                }
                endMs.push_back(fields[0].toDouble());
                runGap.push_back(fields[1].toDouble());
                endGap.push_back(fields[2].toDouble());
                peak.push_back(fields[3].toDouble() / 1024.0);
            }
            std::printf("%-6lld %-6s %10.0f %10.0f %10.0f %12.0f %8.2f\n", static_cast<long long>(megabytes),
                        follow ? "on" : "off (floor)", median(endMs), median(runGap), median(endGap),
                        median(peak), median(peak) / double(megabytes));
        }
    }
    return 0;
}
