#pragma once

#include "study/ClusterState.h"
#include "study/StudyJob.h"

#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

class BatchSystem;
class QTimer;

// Every study the user has submitted and not removed: kept in a file each
// (StudyFile), read at start, and watched while any job is pending or
// running. A poll asks the cluster (squeue) and reads the status files the
// jobs wrote; it never blocks the program, and a cluster that does not
// answer leaves the states as they were. Nothing here ends a job when the
// program ends: the jobs go on, and the next start shows them again.
class Studies : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultPollSeconds = 10;

    Studies(BatchSystem &cluster, QObject *parent = nullptr);
    ~Studies() override;

    // Reads the kept studies and watches those still in progress.
    void load();
    const std::vector<std::unique_ptr<Study>> &all() const { return m_studies; }
    Study *find(const QString &id) const;
    BatchSystem &cluster() const { return m_cluster; }

    // A new study (its id set), kept at once.
    Study &add(Study study);
    // Forgets a study; its files in the study folder stay.
    void remove(const QString &id);
    // While lines of a study are being submitted it is not over.
    void setSubmitting(const QString &id, bool submitting);
    bool isSubmitting(const QString &id) const { return m_submitting.contains(id); }
    // sbatch answered for these lines (line, job id): their jobs are pending from now on.
    void jobsSubmitted(const QString &id, const QList<std::pair<int, QString>> &jobs);
    // Lines about to be submitted again: what was known of their last jobs goes.
    void resetJobs(const QString &id, const QList<int> &lines);
    // scancel on the jobs of these lines that are still pending or running.
    void cancel(const QString &id, const QList<int> &lines);

    void setPollSeconds(int seconds);
    int pollSeconds() const;
    // Polls at once (a poll in progress is not started again).
    void pollNow();
    // Since when the cluster has not answered; invalid while it answers.
    QDateTime unreachableSince() const { return m_unreachableSince; }
    QString cannotReachText() const;

signals:
    void studyAdded(const QString &id);
    void studyChanged(const QString &id);
    void studyRemoved(const QString &id);
    // A job reached its end (first seen by this program or any other).
    void jobEnded(const Study &study, const StudyJob &job);
    // The last job of a study ended.
    void studyEnded(const Study &study);
    void reachabilityChanged();
    // A poll has been answered (or has given up) and its news are shown.
    void polled();
    // A command failed (scancel); said once, in words.
    void clusterError(const QString &message);

private:
    void keep(const Study &study);
    void keepChanged();
    void startOrStopWatching();
    bool anyActive() const;
    void pollAnswered(const QByteArray &squeueOutput, bool answered);
    void detailsAnswered(const QByteArray &scontrolOutput);
    // Updates one job, and tells of its end.
    void updateJob(Study &study, StudyJob &job, const ClusterState::Evidence &evidence, bool &changed);
    void studyUpdated(Study &study, bool wasOver, bool changed);

    BatchSystem &m_cluster;
    std::vector<std::unique_ptr<Study>> m_studies;
    QSet<QString> m_submitting;
    QSet<QString> m_unsaved;
    QTimer *m_pollTimer = nullptr;
    QTimer *m_saveTimer = nullptr;
    bool m_polling = false;
    QDateTime m_unreachableSince;
};
