// Master runs of many command files whose engine sleeps 0.1 s, with 1, 2 and
// 8 command files at once, started directly and, where SLURM_CONF names a
// running cluster (bench/master-scale.sh starts one), through srun. Prints
// for each the median wall time of the whole run and the cost per file
// beyond the engine's own time: (wall - floor) / files, where the floor is
// the engine's time (measured in the same run, started bare) times the
// rounds the files need with that many at once.
//
//   bench_master_scale [FILES] [REPEATS]     (default 200 and 3)

#include "BenchTools.h"
#include "BenchWindows.h"
#include "FrameFixture.h"

#include "app/MDIFrame.h"
#include "engine/RunLog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using BenchTools::median;

// The engine alone, started without shell, script or frame: what no run can beat.
double engineMs(const QString &engine, const QString &commandFile, int repeats)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer clock;
        clock.start();
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(engine, {QStringLiteral("cf=") + commandFile});
        process.waitForFinished(-1);
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int files = argc > 1 ? QByteArray(argv[1]).toInt() : 200;
    const int repeats = argc > 2 ? QByteArray(argv[2]).toInt() : 3;
    if (files <= 0 || repeats <= 0)
        return 1;

    FrameFixture f;
    TFrameForm &frame = f.frame();
    openMasterOfFiles(f, files, "#!/bin/sh\nsleep 0.1\necho \"$1\"\n");

    const bool cluster = qEnvironmentVariableIsSet("SLURM_CONF") &&
                         !QStandardPaths::findExecutable(QStringLiteral("srun")).isEmpty();
    const int cores = QThread::idealThreadCount();
    const double floorMs =
        engineMs(frame.EnginePath, QDir(f.home()).filePath(QStringLiteral("study/run0.cf")), 20);
    std::printf("%d files, engine alone %.1f ms (median of 20), %d cores, %d repeats\n", files, floorMs,
                cores, repeats);
    std::printf("%-6s %4s %12s %12s %14s\n", "start", "N", "wall ms", "floor ms", "cost/file ms");

    for (const bool viaSrun : {false, true}) {
        if (viaSrun && !cluster) {
            std::printf("srun: skipped (no SLURM_CONF or no srun; bench/master-scale.sh starts a cluster)\n");
            continue;
        }
        for (const int atOnce : {1, 2, 8}) {
            frame.setRunSettings(RunSettings{
                atOnce, viaSrun ? QStringLiteral("srun --quiet --ntasks=1 --job-name=quelm") : QString()});
            std::vector<double> walls;
            for (int r = 0; r < repeats; ++r) {
                QElapsedTimer clock;
                clock.start();
                frame.ExecMaster();
                walls.push_back(clock.nsecsElapsed() / 1e6);
                if (!f.dialogs.errors.isEmpty()) {
                    std::printf("failed: %s\n", qPrintable(f.dialogs.lastError()));
                    return 2;
                }
            }
            // The cluster runs no more at once than the node has cores.
            const int together = viaSrun ? std::min(atOnce, cores) : atOnce;
            const double floor = floorMs * ((files + together - 1) / together);
            const double wall = median(walls);
            std::printf("%-6s %4d %12.0f %12.0f %14.1f\n", viaSrun ? "srun" : "direct", atOnce, wall, floor,
                        (wall - floor) / files);
            std::fflush(stdout);
        }
    }
    return 0;
}
