#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QProcess;

// What one command of the batch system's client answered.
struct ClusterAnswer
{
    // It ran and exited with status 0.
    bool ok = false;
    QByteArray output;
    QByteArray errors;
    // Why it failed, in words for a message: its own standard error, or
    // that it did not start or did not answer in time.
    QString failure;
};

// The batch system's client commands, each run without blocking the
// program: every call returns at once and calls done, on the program's
// thread, when the command has ended or its time limit has passed. done is
// not called once context is gone. The program uses Slurm's commands
// (SlurmBatchSystem); tests drive the same against a real cluster.
class BatchSystem : public QObject
{
    Q_OBJECT

public:
    using Done = std::function<void(const ClusterAnswer &)>;

    using QObject::QObject;

    // The first of the commands a study needs that cannot be found; empty
    // when all are there.
    virtual QString missingCommand() const = 0;
    // Whether the controller answers at all.
    virtual void ping(QObject *context, Done done) = 0;
    // sbatch with these arguments; its output is the job id (--parsable).
    virtual void submit(const QStringList &arguments, QObject *context, Done done) = 0;
    // squeue with these arguments.
    virtual void listJobs(const QStringList &arguments, QObject *context, Done done) = 0;
    // scontrol -o show job: every job the controller remembers, one a line.
    virtual void showJobs(QObject *context, Done done) = 0;
    virtual void cancel(const QStringList &jobIds, QObject *context, Done done) = 0;
};

// Slurm's commands found on the PATH, each a QProcess with a time limit.
class SlurmBatchSystem : public BatchSystem
{
    Q_OBJECT

public:
    using BatchSystem::BatchSystem;

    QString missingCommand() const override;
    void ping(QObject *context, Done done) override;
    void submit(const QStringList &arguments, QObject *context, Done done) override;
    void listJobs(const QStringList &arguments, QObject *context, Done done) override;
    void showJobs(QObject *context, Done done) override;
    void cancel(const QStringList &jobIds, QObject *context, Done done) override;

private:
    void run(const QString &program, const QStringList &arguments, int timeLimitMs, QObject *context,
             const Done &done);
};
