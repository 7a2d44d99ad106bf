// Engine runs one after another, as a master file of many command files makes
// them: write the launch script, start it, wait for its end. Prints the total
// and the time per run for a trivial engine.
//
//   bench_engine_runs [RUNS]     (default 200)

#include "RunHelpers.h"

#include "core/TextFile.h"
#include "engine/EngineLauncher.h"
#include "engine/OutputName.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 200;
    QTemporaryDir dir;
    if (!dir.isValid() || runs <= 0)
        return 1;

    const QString engine = dir.filePath(QStringLiteral("engine"));
    TextFile::writeBytes(engine, "#!/bin/sh\necho \"$1\"\n");
    QFile::setPermissions(engine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QStringList commands;
    for (int i = 0; i < runs; ++i) {
        commands.append(dir.filePath(QStringLiteral("run%1.cf").arg(i)));
        TextFile::writeBytes(commands.last(), "1\r\n");
    }

    ProcessEngineLauncher launcher;
    QElapsedTimer timer;
    timer.start();
    for (const QString &command : commands) {
        const QString output = Engine::outputFileName(command, QStringLiteral(".out"));
        if (!launcher.writeScript(dir.path(), {}, engine, command, output))
            return 2;
        auto run = launcher.start(dir.path());
        if (!run)
            return 3;
        RunHelpers::waitUntilEnded(*run);
    }
    const double total = timer.nsecsElapsed() / 1e6;
    std::printf("%d runs: %.1f ms in all, %.2f ms per run\n", runs, total, total / runs);
    return 0;
}
