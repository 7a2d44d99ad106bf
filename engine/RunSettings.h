#pragma once

#include <QString>

// How the runs start the engine, beyond the four settings of ostrel.ini:
// kept in the user's own Qt settings and edited in the preferences' "Runs"
// group. The defaults give the one-after-another master run and an engine
// started directly.
struct RunSettings
{
    static constexpr int MinAtOnce = 1;
    static constexpr int MaxAtOnce = 256;

    // How many command files of a master file run at the same time.
    int atOnce = MinAtOnce;
    // The command line the engine is started through (a batch system's
    // client such as srun), split into words as a shell would; empty for none.
    QString launcher;
    // sbatch's options for a study submitted to the cluster
    // ("--partition=short --time=2:00:00"), split as the launcher is.
    QString batchOptions = QString();
};
