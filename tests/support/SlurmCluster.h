#pragma once

#include <QString>
#include <QTemporaryDir>

// A single-node Slurm cluster of its own (slurm-cluster), started as root on
// a port of its own so that it can run beside another test's, and stopped
// when the object goes. SLURM_CONF points at it while it runs.
class SlurmCluster
{
public:
    explicit SlurmCluster(int port);
    ~SlurmCluster();
    SlurmCluster(const SlurmCluster &) = delete;
    SlurmCluster &operator=(const SlurmCluster &) = delete;

    // Empty when the cluster runs; otherwise why it could not be started.
    QString start();
    QString confPath() const;
    // The job ids Slurm lists for the user, in any state it remembers.
    static QStringList jobIds();

private:
    QTemporaryDir m_dir{QStringLiteral("/tmp/ostrel-slurm-XXXXXX")};
    int m_port;
    bool m_started = false;
};
