#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class Studies;

// Submits lines of a study as batch jobs, a few sbatch at a time, without
// blocking the program. A line that names a command or output file that
// another line of the study names waits for that line's job to end (a Slurm
// dependency), so the two never run at once. The first sbatch that fails
// stops the submission; the lines already submitted stay submitted.
class StudySubmission : public QObject
{
    Q_OBJECT

public:
    // sbatch runs at once: the controller answers each in some tens of
    // milliseconds, most of it waiting.
    static constexpr int InFlight = 8;

    StudySubmission(Studies &studies, const QString &studyId, const QList<int> &lines,
                    const QStringList &options, QObject *parent = nullptr);

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

    Studies &m_studies;
    QString m_studyId;
    QList<int> m_lines;
    QStringList m_options;
    // Lines by the key of each file they name.
    QHash<QString, QList<int>> m_linesByFile;
    QHash<int, QStringList> m_filesOfLine;
    QHash<int, bool> m_inBatch; // line -> submitted yet
    int m_next = 0;
    int m_inFlight = 0;
    int m_submitted = 0;
    bool m_cancelled = false;
    bool m_finished = false;
    QString m_error;
};
