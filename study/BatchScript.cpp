#include "study/BatchScript.h"

#include "engine/LaunchScript.h"

#include <QFile>

namespace BatchScript {

namespace {

// A path in a comment line: a line break in it would end the comment.
QString commentText(const QString &path)
{
    QString text = path;
    text.replace(QLatin1Char('\n'), QLatin1Char('?')).replace(QLatin1Char('\r'), QLatin1Char('?'));
    return text;
}

} // namespace

QString text(const Job &job)
{
    using LaunchScript::posixQuoted;
    // A task of an array is known by the array's id and its index, as squeue -r lists it.
    const QString status = posixQuoted(job.studyFolder + QLatin1Char('/')) + QStringLiteral("\"$id\"");
    // The trap runs once the engine has gone: Slurm signals every process of
    // the job when it cancels it or its time is up. exec 2> comes first so
    // that the shell's own complaints (a folder that cannot be entered) go
    // where the engine's would.
    return QStringLiteral(
               "#!/bin/sh\n"
               "# Line %1 of the master file %2, submitted by Ostrel.\n"
               "exec 2>%3\n"
               "id=${SLURM_ARRAY_TASK_ID:+${SLURM_ARRAY_JOB_ID}_$SLURM_ARRAY_TASK_ID}\n"
               "id=${id:-$SLURM_JOB_ID}\n"
               "started=$(date +%s)\n"
               "ended() {\n"
               "    printf 'job=%s\\nexit=%s\\nsignal=%s\\nterminated=%s\\nstart=%s\\nend=%s\\nnode=%s\\n' "
               "\\\n"
               "        \"$id\" \"$1\" \"$2\" \"$3\" \"$started\" \"$(date +%s)\" "
               "\"${SLURMD_NODENAME:-$(hostname)}\" \\\n"
               "        >%4.status.tmp && mv -f %4.status.tmp %4.status\n"
               "    exit \"$1\"\n"
               "}\n"
               "trap 'ended 143 15 1' TERM\n"
               "cd %5 || ended 1 0 0\n"
               "%6 cf=%7 >%8 </dev/null\n"
               "status=$?\n"
               "signal=0\n"
               "if [ \"$status\" -gt 128 ] && [ \"$status\" -lt 160 ]; then signal=$((status - 128)); fi\n"
               "ended \"$status\" \"$signal\" 0\n")
        .arg(QString::number(job.line), commentText(job.masterFile), posixQuoted(job.errorFile), status,
             posixQuoted(job.commandFile.section(QLatin1Char('/'), 0, -2) + QLatin1Char('/')),
             posixQuoted(job.enginePath), posixQuoted(job.commandFile), posixQuoted(job.outputFile));
}

QByteArray bytes(const Job &job)
{
    return QFile::encodeName(text(job));
}

QByteArray arrayBytes(const QStringList &lineScripts)
{
    QString text = QStringLiteral("#!/bin/sh\n# Lines of a master file, one task each, submitted by Ostrel.\n"
                                  "case $SLURM_ARRAY_TASK_ID in\n");
    for (qsizetype i = 0; i < lineScripts.size(); ++i)
        text += QStringLiteral("%1) exec /bin/sh %2 ;;\n")
                    .arg(i + 1)
                    .arg(LaunchScript::posixQuoted(lineScripts.at(i)));
    text += QStringLiteral("esac\nexit 1\n");
    return QFile::encodeName(text);
}

QStringList sbatchArguments(const QStringList &options, const QString &jobName, const QString &workFolder,
                            const QStringList &dependsOn, const QString &scriptPath, int arrayTasks)
{
    QStringList arguments{QStringLiteral("--parsable")};
    arguments += options;
    // Slurm's own notes would go to a slurm-N.out beside the command file; the
    // script keeps the engine's standard error itself.
    arguments += {QStringLiteral("--job-name=") + jobName, QStringLiteral("--chdir=") + workFolder,
                  QStringLiteral("--output=/dev/null")};
    if (!dependsOn.isEmpty())
        arguments.append(QStringLiteral("--dependency=afterany:") + dependsOn.join(QLatin1Char(':')));
    if (arrayTasks > 0)
        arguments.append(QStringLiteral("--array=1-%1").arg(arrayTasks));
    arguments.append(scriptPath);
    return arguments;
}

QString jobIdFromAnswer(const QByteArray &answer)
{
    QString id = QString::fromUtf8(answer.trimmed()).section(QLatin1Char(';'), 0, 0);
    for (const QChar c : id) {
        if (!c.isDigit() && c != QLatin1Char('_'))
            return QString();
    }
    return id;
}

} // namespace BatchScript
