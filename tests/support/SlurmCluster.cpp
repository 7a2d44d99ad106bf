#include "SlurmCluster.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace {

QString clusterScript()
{
    return QStringLiteral(OSTREL_SOURCE_DIR "/tests/support/slurm-cluster");
}

QString cannotStart()
{
    if (::geteuid() != 0)
        return QStringLiteral("needs root to start munged and the Slurm daemons");
    for (const char *program : {"munged", "slurmctld", "slurmd", "sbatch", "squeue", "scontrol", "scancel"}) {
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty() &&
            QStandardPaths::findExecutable(QLatin1String(program), {QStringLiteral("/usr/sbin")}).isEmpty())
            return QStringLiteral("%1 is not installed (scripts/install-deps installs it)").arg(program);
    }
    return QString();
}

} // namespace

SlurmCluster::SlurmCluster(int port) : m_port(port)
{}

SlurmCluster::~SlurmCluster()
{
    if (!m_started)
        return;
    QProcess stop;
    stop.start(clusterScript(), {QStringLiteral("stop"), m_dir.path()});
    stop.waitForFinished(60000);
}

QString SlurmCluster::start()
{
    const QString reason = cannotStart();
    if (!reason.isEmpty())
        return reason;
    QProcess start;
    start.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SLURM_CLUSTER_PORT"), QString::number(m_port));
    start.setProcessEnvironment(environment);
    start.start(clusterScript(), {QStringLiteral("start"), m_dir.path()});
    if (!start.waitForFinished(60000) || start.exitStatus() != QProcess::NormalExit || start.exitCode() != 0)
        return QStringLiteral("the cluster did not start: ") + QString::fromLocal8Bit(start.readAll());
    m_started = true;
    qputenv("SLURM_CONF", QFile::encodeName(confPath()));
    return QString();
}

QString SlurmCluster::confPath() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("slurm.conf"));
}

QStringList SlurmCluster::jobIds()
{
    QProcess squeue;
    squeue.start(QStringLiteral("squeue"),
                 {QStringLiteral("-h"), QStringLiteral("--me"), QStringLiteral("-t"), QStringLiteral("all"),
                  QStringLiteral("-r"), QStringLiteral("-o"), QStringLiteral("%i")});
    squeue.waitForFinished(10000);
    return QString::fromUtf8(squeue.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
