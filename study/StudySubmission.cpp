#include "study/StudySubmission.h"

#include "engine/OutputName.h"
#include "study/BatchScript.h"
#include "study/BatchSystem.h"
#include "study/Studies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// One text for each file, however it is named: an existing file by its
// device and inode (links included), one not made yet by its path.
QString sharedFileKey(const QString &path)
{
    const Engine::FileKey key = Engine::fileKey(path);
    return key.exists ? QStringLiteral("i%1:%2").arg(key.device).arg(key.inode)
                      : QStringLiteral("p") + key.path;
}

} // namespace

StudySubmission::StudySubmission(Studies &studies, const QString &studyId, const QList<int> &lines,
                                 const QStringList &options, QObject *parent)
    : QObject(parent), m_studies(studies), m_studyId(studyId), m_lines(lines), m_options(options)
{
    const Study *study = m_studies.find(studyId);
    if (!study)
        return;
    for (const StudyJob &job : study->jobs) {
        const QStringList keys{sharedFileKey(job.commandFile), sharedFileKey(job.outputFile)};
        m_filesOfLine.insert(job.line, keys);
        for (const QString &key : keys) {
            QList<int> &sharing = m_linesByFile[key];
            if (!sharing.contains(job.line))
                sharing.append(job.line);
        }
    }
    QList<int> free;
    for (const int line : std::as_const(m_lines)) {
        const QStringList &keys = m_filesOfLine[line];
        const bool shares = std::any_of(keys.cbegin(), keys.cend(), [this](const QString &key) {
            return m_linesByFile.value(key).size() > 1;
        });
        if (shares) {
            m_alone.append(line);
            m_inBatch.insert(line, false);
        } else {
            free.append(line);
        }
    }
    for (qsizetype at = 0; at < free.size(); at += ArrayTasks)
        m_arrays.append(free.mid(at, ArrayTasks));
}

void StudySubmission::start()
{
    m_studies.setSubmitting(m_studyId, true);
    m_studies.resetJobs(m_studyId, m_lines);
    emit progressed(0, total());
    startMore();
}

void StudySubmission::cancel()
{
    m_cancelled = true;
    finishIfDone();
}

bool StudySubmission::dependencies(int line, QStringList &jobIds) const
{
    const Study *study = m_studies.find(m_studyId);
    for (const QString &key : m_filesOfLine.value(line)) {
        for (const int other : m_linesByFile.value(key)) {
            if (other == line)
                continue;
            const StudyJob &job = study->jobs.at(other - 1);
            // An earlier line of this submission goes first; a later one
            // will wait for this one.
            if (m_inBatch.contains(other) && !m_inBatch.value(other)) {
                if (m_lines.indexOf(other) < m_lines.indexOf(line))
                    return false;
                continue;
            }
            if (Jobs::isActive(job.state) && !jobIds.contains(job.jobId))
                jobIds.append(job.jobId);
        }
    }
    return true;
}

void StudySubmission::startMore()
{
    const Study *study = m_studies.find(m_studyId);
    if (!study) {
        m_error = QStringLiteral("The study was removed.");
        m_cancelled = true;
    }
    while (!m_cancelled && m_error.isEmpty() && m_inFlight < InFlight && m_nextArray < m_arrays.size())
        submitArray(m_arrays.at(m_nextArray++));
    while (!m_cancelled && m_error.isEmpty() && m_inFlight < InFlight && m_next < m_alone.size()) {
        const int line = m_alone.at(m_next);
        QStringList dependsOn;
        if (!dependencies(line, dependsOn))
            break;
        ++m_next;
        const StudyJob &job = study->jobs.at(line - 1);
        const QStringList arguments = BatchScript::sbatchArguments(
            m_options, QFileInfo(job.commandFile).fileName(), QFileInfo(job.commandFile).absolutePath(),
            dependsOn, Jobs::scriptPath(*study, line));
        ++m_inFlight;
        m_studies.cluster().submit(arguments, this, [this, line](const ClusterAnswer &answer) {
            const QString jobId = BatchScript::jobIdFromAnswer(answer.output);
            if (answer.ok && !jobId.isEmpty())
                answered(line, true, jobId);
            else
                answered(line, false,
                         answer.ok ? QStringLiteral("sbatch gave no job id: %1")
                                         .arg(QString::fromLocal8Bit(answer.output.trimmed()))
                                   : answer.failure);
        });
    }
    finishIfDone();
}

void StudySubmission::answered(int line, bool ok, const QString &jobIdOrError)
{
    --m_inFlight;
    if (ok) {
        m_inBatch.insert(line, true);
        ++m_submitted;
        m_studies.jobsSubmitted(m_studyId, {{line, jobIdOrError}});
        emit progressed(m_submitted, total());
    } else if (m_error.isEmpty()) {
        m_error = jobIdOrError;
    }
    startMore();
}

void StudySubmission::finishIfDone()
{
    const bool allAsked =
        m_cancelled || !m_error.isEmpty() || (m_next >= m_alone.size() && m_nextArray >= m_arrays.size());
    if (m_finished || m_inFlight > 0 || !allAsked)
        return;
    m_finished = true;
    m_studies.setSubmitting(m_studyId, false);
    emit finished(m_error);
}

bool StudySubmission::writeScript(const QString &path, const QByteArray &bytes)
{
    // Slurm keeps its own copy of a script from the moment sbatch answers, so
    // one written again (Submit Again) needs no care beyond being a plain file.
    const QFileInfo info(path);
    if (info.exists() && (!info.isFile() || info.isSymLink()))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

void StudySubmission::submitArray(const QList<int> &lines)
{
    const Study *study = m_studies.find(m_studyId);
    QStringList lineScripts;
    for (const int line : lines)
        lineScripts.append(Jobs::scriptPath(*study, line));
    const QString path = QDir(study->folder).filePath(QStringLiteral("array-%1.sh").arg(lines.constFirst()));
    if (!writeScript(path, BatchScript::arrayBytes(lineScripts))) {
        m_error = QStringLiteral("Cannot create file %1.").arg(path);
        return;
    }
    const QStringList arguments = BatchScript::sbatchArguments(
        m_options, QFileInfo(study->masterFile).fileName(), study->folder, {}, path, int(lines.size()));
    ++m_inFlight;
    m_studies.cluster().submit(arguments, this,
                               [this, lines](const ClusterAnswer &answer) { arrayAnswered(lines, answer); });
}

void StudySubmission::arrayAnswered(const QList<int> &lines, const ClusterAnswer &answer)
{
    --m_inFlight;
    const QString arrayId = BatchScript::jobIdFromAnswer(answer.output);
    if (answer.ok && !arrayId.isEmpty()) {
        QList<std::pair<int, QString>> jobs;
        for (qsizetype i = 0; i < lines.size(); ++i)
            jobs.append({lines.at(i), BatchScript::arrayTaskId(arrayId, int(i) + 1)});
        m_submitted += int(lines.size());
        m_studies.jobsSubmitted(m_studyId, jobs);
        emit progressed(m_submitted, total());
    } else if (m_error.isEmpty()) {
        m_error = answer.ok ? QStringLiteral("sbatch gave no job id: %1")
                                  .arg(QString::fromLocal8Bit(answer.output.trimmed()))
                            : answer.failure;
    }
    startMore();
}
