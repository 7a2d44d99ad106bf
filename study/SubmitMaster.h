#pragma once

#include "engine/RunControl.h"
#include "study/StudyJob.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QProgressDialog;
class QThread;
class Studies;
class StudySubmission;

// Submit Master File to Cluster: each command file that the master
// window's file lists becomes a Slurm batch job that goes on without the
// program. The master file's checks come first and a failing one submits
// nothing: no engine, a missing command file, a line whose output would be
// its command file, options that cannot be split, no sbatch, a controller
// that does not answer. Then the study is kept, and its lines go to sbatch
// while a progress window with Cancel shows how far it got; the program
// stays usable meanwhile. Submit Again takes the same way for chosen lines.
class SubmitMaster : public RunControl
{
    Q_OBJECT

public:
    static const QString SubmitTitle;

    SubmitMaster(const RunContext &context, Studies &studies, QObject *parent);
    ~SubmitMaster() override;

    void submitMasterFile();
    // Submits these lines of a kept study again (those that failed, were
    // cancelled, timed out or never went).
    void submitAgain(const QString &studyId, const QList<int> &lines);
    // A submission is in progress (or its checks are).
    bool isBusy() const;

signals:
    // A study was kept and its lines are being submitted.
    void studySubmitted(const QString &studyId);

private:
    struct Prepared;
    // The checks that need no cluster, and the study they make; nothing
    // when one fails (it has been reported).
    std::optional<Prepared> prepare();
    std::optional<std::vector<StudyJob>> readLines(const QString &masterFile);
    void clusterAnswered(const Prepared &prepared, bool ok, const QString &failure);
    // Makes the study folder and writes the job scripts into it.
    // On a thread; then runs on the program's thread once all are written
    // (a failure is reported instead).
    void writeScripts(const Study &study, std::function<void()> then);
    void startSubmission(const QString &studyId, const QList<int> &lines, const QStringList &options);
    void submissionFinished(const QString &error);
    void report(const QString &message);

    Studies &m_studies;
    bool m_checking = false;
    QPointer<QThread> m_writer;
    QPointer<StudySubmission> m_submission;
    QPointer<QProgressDialog> m_progress;
};
