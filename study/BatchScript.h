#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The batch job of one command file: the script sbatch runs and the
// arguments it is given. The script runs the engine as a master run does,
// in the command file's folder with its output file, sends the engine's
// standard error to a file of the study folder, and writes a status file
// there when the engine ends (or Slurm ends the job), so that the end is
// known after Slurm has forgotten the job. Every path is a single-quoted
// word: no character of one is ever interpreted by the shell.
namespace BatchScript {

struct Job
{
    QString enginePath; // absolute
    QString commandFile;
    QString outputFile;
    QString errorFile;
    QString studyFolder;
    QString masterFile;
    int line = 0;
};

// The whole script, LF line ends.
QString text(const Job &job);
// text in the bytes the shell reads: paths as the file system names them.
QByteArray bytes(const Job &job);

// One script for a job array: task i runs the i-th of lineScripts (the
// scripts bytes() wrote), so that one sbatch submits many lines.
QByteArray arrayBytes(const QStringList &lineScripts);
// The job id of task index (from 1) of the array sbatch called arrayId.
inline QString arrayTaskId(const QString &arrayId, int index)
{
    return arrayId + QLatin1Char('_') + QString::number(index);
}

// sbatch's arguments (arrayTasks > 0: a job array of that many tasks): --parsable first, then the user's
// options (words already split), so that the study's own --job-name, --chdir and
// --output win; a job waits for each of dependsOn to end, however it ends.
QStringList sbatchArguments(const QStringList &options, const QString &jobName, const QString &workFolder,
                            const QStringList &dependsOn, const QString &scriptPath, int arrayTasks = 0);

// The job id in sbatch --parsable's answer ("123" or "123;cluster"); empty
// when there is none.
QString jobIdFromAnswer(const QByteArray &answer);

} // namespace BatchScript
