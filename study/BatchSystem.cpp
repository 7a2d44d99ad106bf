#include "study/BatchSystem.h"

#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QVariant>

namespace {

// A controller that is down makes the clients retry for a while before they
// give up; past these the program says so rather than waiting on.
constexpr int PingLimitMs = 20000;
constexpr int SubmitLimitMs = 60000;
constexpr int QueryLimitMs = 30000;

QString commandLine(const QString &program, const QStringList &arguments)
{
    return (QStringList{program} + arguments.mid(0, 2)).join(QLatin1Char(' ')) +
           (arguments.size() > 2 ? QStringLiteral(" ...") : QString());
}

} // namespace

QString SlurmBatchSystem::missingCommand() const
{
    for (const char *command : {"sbatch", "squeue", "scontrol", "scancel"}) {
        if (QStandardPaths::findExecutable(QLatin1String(command)).isEmpty())
            return QLatin1String(command);
    }
    return QString();
}

void SlurmBatchSystem::ping(QObject *context, Done done)
{
    // Some versions say DOWN and still exit with status 0.
    run(QStringLiteral("scontrol"), {QStringLiteral("ping")}, PingLimitMs, context,
        [done = std::move(done)](ClusterAnswer answer) {
            if (answer.ok && answer.output.contains("DOWN")) {
                answer.ok = false;
                answer.failure =
                    QString::fromLocal8Bit(answer.output.trimmed()).section(QLatin1Char('\n'), 0, 0);
            }
            done(answer);
        });
}

void SlurmBatchSystem::submit(const QStringList &arguments, QObject *context, Done done)
{
    run(QStringLiteral("sbatch"), arguments, SubmitLimitMs, context, done);
}

void SlurmBatchSystem::listJobs(const QStringList &arguments, QObject *context, Done done)
{
    run(QStringLiteral("squeue"), arguments, QueryLimitMs, context, done);
}

void SlurmBatchSystem::showJobs(QObject *context, Done done)
{
    run(QStringLiteral("scontrol"), {QStringLiteral("-o"), QStringLiteral("show"), QStringLiteral("job")},
        QueryLimitMs, context, done);
}

void SlurmBatchSystem::cancel(const QStringList &jobIds, QObject *context, Done done)
{
    run(QStringLiteral("scancel"), jobIds, QueryLimitMs, context, done);
}

void SlurmBatchSystem::run(const QString &program, const QStringList &arguments, int timeLimitMs,
                           QObject *context, const Done &done)
{
    auto *process = new QProcess(this);
    auto *limit = new QTimer(process);
    limit->setSingleShot(true);
    const QPointer<QObject> receiver(context);
    const QString shown = commandLine(program, arguments);
    // Called once, by whichever comes first: the end, a failure to start or the limit.
    auto finish = [process, receiver, done](const ClusterAnswer &answer) {
        if (process->property("answered").toBool())
            return;
        process->setProperty("answered", true);
        process->deleteLater();
        if (receiver)
            done(answer);
    };
    connect(process, &QProcess::finished, this, [process, finish, shown](int code, QProcess::ExitStatus how) {
        ClusterAnswer answer;
        answer.output = process->readAllStandardOutput();
        answer.errors = process->readAllStandardError();
        answer.ok = how == QProcess::NormalExit && code == 0;
        if (!answer.ok) {
            // scontrol ping says DOWN on standard output.
            const QByteArray words = answer.errors.trimmed().isEmpty() ? answer.output : answer.errors;
            const QString said = QString::fromLocal8Bit(words.trimmed()).section(QLatin1Char('\n'), 0, 0);
            answer.failure =
                said.isEmpty() ? QStringLiteral("%1 ended with exit status %2").arg(shown).arg(code) : said;
        }
        finish(answer);
    });
    connect(process, &QProcess::errorOccurred, this, [finish, shown](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        ClusterAnswer answer;
        answer.failure = QStringLiteral("%1 could not be started").arg(shown);
        finish(answer);
    });
    connect(limit, &QTimer::timeout, this, [process, finish, shown, timeLimitMs] {
        ClusterAnswer answer;
        answer.failure = QStringLiteral("%1 did not answer within %2 s").arg(shown).arg(timeLimitMs / 1000);
        process->disconnect();
        process->kill();
        finish(answer);
    });
    process->setStandardInputFile(QProcess::nullDevice());
    limit->start(timeLimitMs);
    process->start(program, arguments);
}
