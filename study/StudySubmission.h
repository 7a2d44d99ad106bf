#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class Studies;
struct ClusterAnswer;

// Submits lines of a study as batch jobs without blocking the program. The
// lines go as job arrays, up to ArrayTasks in one sbatch, since each sbatch
// costs the controller tens of milliseconds. A line that names a command or
// output file that another line of the study names is submitted alone and
// waits for that line's job to end (a Slurm dependency), so the two never run
// at once. The first sbatch that fails stops the submission; the lines
// already submitted stay submitted.
class StudySubmission : public QObject
{
    Q_OBJECT

public:
    // sbatch runs at once: the controller answers each in some tens of
    // milliseconds, most of it waiting.
    static constexpr int InFlight = 8;
    // Slurm's default MaxArraySize is 1001: indexes up to 1000.
    static constexpr int ArrayTasks = 1000;

    StudySubmission(Studies &studies, const QString &studyId, const QList<int> &lines,
                    const QStringList &options, QObject *parent = nullptr);

    // Writes a job script: a regular file or nothing.
    static bool writeScript(const QString &path, const QByteArray &bytes);

    void start();
    // Starts no further sbatch; those already asked are answered first.
    void cancel();

    int total() const { return int(m_lines.size()); }
    int submitted() const { return m_submitted; }
    bool wasCancelled() const { return m_cancelled; }
    QString studyId() const { return m_studyId; }

signals:
    void progressed(int submitted, int total);
    // Empty error when every line was submitted or the user cancelled.
    void finished(const QString &error);

private:
    void startMore();
    // The job ids line must wait for; false when a line it shares files
    // with is still being submitted, so that line goes first.
    bool dependencies(int line, QStringList &jobIds) const;
    void answered(int line, bool ok, const QString &jobIdOrError);
    void finishIfDone();
    void submitArray(const QList<int> &lines);
    void arrayAnswered(const QList<int> &lines, const ClusterAnswer &answer);

    Studies &m_studies;
    QString m_studyId;
    QList<int> m_lines;
    QStringList m_options;
    // Lines by the key of each file they name.
    QHash<QString, QList<int>> m_linesByFile;
    QHash<int, QStringList> m_filesOfLine;
    QHash<int, bool> m_inBatch; // line submitted alone -> submitted yet
    // Lines that share no file with another, in arrays, and those submitted alone.
    QList<QList<int>> m_arrays;
    QList<int> m_alone;
    int m_nextArray = 0;
    int m_next = 0;
    int m_inFlight = 0;
    int m_submitted = 0;
    bool m_cancelled = false;
    bool m_finished = false;
    QString m_error;
};
