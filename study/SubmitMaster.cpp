#include "study/SubmitMaster.h"

#include "core/FileError.h"
#include "core/LineReader.h"
#include "core/PathHelpers.h"
#include "core/TextFile.h"
#include "documents/DocumentWindows.h"
#include "documents/MDIMaster.h"
#include "engine/OutputName.h"
#include "engine/RunLog.h"
#include "engine/RunSettings.h"
#include "engine/ShellWords.h"
#include "study/BatchScript.h"
#include "study/BatchSystem.h"
#include "study/Studies.h"
#include "study/StudyFile.h"
#include "study/StudySubmission.h"
#include "ui/UserDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QThread>

#include <memory>
#include <utility>

const QString SubmitMaster::SubmitTitle = QStringLiteral("Submit Master File");

namespace {

const QString NothingSubmitted = QStringLiteral(" Nothing was submitted.");

// Beside the master file, named after it and the moment: one folder per
// submission, on the file system the nodes share with the master file.
QString studyFolderFor(const QString &masterFile, const QDateTime &when)
{
    const QFileInfo master(masterFile);
    return master.absoluteDir().filePath(master.completeBaseName() + QStringLiteral(".study-") +
                                         when.toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

} // namespace

struct SubmitMaster::Prepared
{
    Study study;
    QStringList options;
};

SubmitMaster::SubmitMaster(const RunContext &context, Studies &studies, QObject *parent)
    : RunControl(context, parent), m_studies(studies)
{}

SubmitMaster::~SubmitMaster()
{
    if (m_writer)
        m_writer->wait();
    // The jobs submitted so far are kept; the rest stay "not submitted".
    if (m_submission)
        m_submission->cancel();
}

bool SubmitMaster::isBusy() const
{
    return m_checking || m_submission;
}

void SubmitMaster::report(const QString &message)
{
    m_context.dialogs.error(m_context.dialogParent, SubmitTitle, message);
}

void SubmitMaster::submitMasterFile()
{
    if (!m_context.documents.masterWindow() || isBusy())
        return;
    std::optional<Prepared> prepared = prepare();
    if (!prepared)
        return;
    // A controller that is down would take each sbatch a minute to refuse:
    // one question first, which the program does not wait for.
    m_checking = true;
    emit statusChanged(QStringLiteral("Asking the cluster ..."));
    auto kept = std::make_shared<Prepared>(std::move(*prepared));
    m_studies.cluster().ping(this, [this, kept](const ClusterAnswer &answer) {
        m_checking = false;
        clusterAnswered(*kept, answer.ok, answer.failure);
    });
}

std::optional<SubmitMaster::Prepared> SubmitMaster::prepare()
{
    TMasterEditForm &window = *m_context.documents.masterWindow();
    if (!checkEnginePath(window.FileName))
        return std::nullopt;
    const ShellWords::Split options = ShellWords::splitWords(m_context.runs.batchOptions);
    if (!options.ok()) {
        report(options.error + QStringLiteral(" Please change the Preferences.") + NothingSubmitted);
        return std::nullopt;
    }
    window.bringToFront();
    if (window.isUntitled()) {
        report(QStringLiteral("The Master File Name is missing."));
        return std::nullopt;
    }
    const QString missing = m_studies.cluster().missingCommand();
    if (!missing.isEmpty()) {
        report(QStringLiteral("Cannot find %1: Slurm's commands are not installed here, or not on the PATH.")
                   .arg(missing) +
               NothingSubmitted);
        return std::nullopt;
    }
    emit statusChanged(QStringLiteral("Saving Master File"));
    bool written = false;
    if (!window.guarded([&window, &written] { written = window.writeFile(); }) || !written)
        return std::nullopt;
    std::optional<std::vector<StudyJob>> jobs = readLines(window.FileName);
    if (!jobs)
        return std::nullopt;

    Prepared prepared;
    prepared.options = options.words;
    Study &study = prepared.study;
    study.masterFile = QFileInfo(window.FileName).absoluteFilePath();
    study.enginePath = QFileInfo(m_context.settings.EnginePath).absoluteFilePath();
    study.batchOptions = m_context.runs.batchOptions;
    study.jobs = std::move(*jobs);
    return prepared;
}

std::optional<std::vector<StudyJob>> SubmitMaster::readLines(const QString &masterFile)
{
    QByteArray text;
    try {
        text = TextFile::readText(masterFile).utf8;
    } catch (const FileError &) {
        report(QStringLiteral("Cannot read master file."));
        return std::nullopt;
    }
    LineReader reader(text);
    if (reader.atEnd()) {
        report(QStringLiteral("The master file is empty."));
        return std::nullopt;
    }
    // Relative lines name files beside the master file, wherever the
    // program's current folder is: the jobs run later, elsewhere.
    const QString base = QFileInfo(masterFile).absolutePath();
    std::vector<StudyJob> jobs;
    while (!reader.atEnd()) {
        const QString line = QString::fromUtf8(reader.readLine());
        StudyJob job;
        job.line = int(jobs.size()) + 1;
        job.commandFile = line.isEmpty() ? QString() : Paths::absolutePath(line, base);
        if (job.commandFile.isEmpty() || !Paths::fileExists(job.commandFile)) {
            report(QStringLiteral("Cannot find %1 (line %2 of the master file).")
                       .arg(line.isEmpty() ? QStringLiteral("an empty name") : line)
                       .arg(job.line) +
                   NothingSubmitted);
            return std::nullopt;
        }
        job.commandFile = QFileInfo(job.commandFile).absoluteFilePath();
        job.outputFile = Engine::outputFileName(job.commandFile, m_context.settings.OutputFileExtension);
        if (Engine::outputIsCommandFile(job.commandFile, job.outputFile)) {
            refuseOutputOverCommand(job.commandFile, job.outputFile);
            return std::nullopt;
        }
        jobs.push_back(job);
    }
    return jobs;
}

void SubmitMaster::clusterAnswered(const Prepared &prepared, bool ok, const QString &failure)
{
    if (!ok) {
        emit statusChanged(QStringLiteral("The cluster does not answer"));
        report(QStringLiteral("The Slurm controller does not answer (%1).").arg(failure) + NothingSubmitted);
        return;
    }
    Study study = prepared.study;
    study.id = StudyFile::newId();
    study.submitted = QDateTime::currentDateTime();
    study.folder = studyFolderFor(study.masterFile, study.submitted);
    const QStringList options = prepared.options;
    m_checking = true;
    writeScripts(study, [this, study, options]() mutable {
        const QString id = m_studies.add(std::move(study)).id;
        emit studySubmitted(id);
        QList<int> lines;
        for (const StudyJob &job : m_studies.find(id)->jobs)
            lines.append(job.line);
        startSubmission(id, lines, options);
    });
}

void SubmitMaster::writeScripts(const Study &study, std::function<void()> then)
{
    // A thousand small files take the disk a second when it is busy: they
    // are written on a thread of their own, and the program goes on.
    std::vector<std::pair<QString, QByteArray>> scripts;
    scripts.reserve(study.jobs.size());
    for (const StudyJob &job : study.jobs) {
        const BatchScript::Job script{
            study.enginePath, job.commandFile,  job.outputFile, Jobs::errorPath(study, job.line),
            study.folder,     study.masterFile, job.line};
        scripts.emplace_back(Jobs::scriptPath(study, job.line), BatchScript::bytes(script));
    }
    auto failure = std::make_shared<QString>();
    QThread *writer = QThread::create([folder = study.folder, scripts = std::move(scripts), failure] {
        if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
            *failure = QStringLiteral("Cannot create the study folder %1.").arg(folder);
            return;
        }
        for (const auto &[path, bytes] : scripts) {
            if (!StudySubmission::writeScript(path, bytes)) {
                *failure = QStringLiteral("Cannot create file %1.").arg(path);
                return;
            }
        }
    });
    m_writer = writer;
    connect(writer, &QThread::finished, this, [this, writer, failure, then = std::move(then)] {
        writer->deleteLater();
        m_checking = false;
        if (!failure->isEmpty()) {
            report(*failure + NothingSubmitted);
            return;
        }
        then();
    });
    writer->start();
}

void SubmitMaster::submitAgain(const QString &studyId, const QList<int> &lines)
{
    Study *study = m_studies.find(studyId);
    if (!study || lines.isEmpty() || isBusy())
        return;
    const ShellWords::Split options = ShellWords::splitWords(study->batchOptions);
    const QString missing = m_studies.cluster().missingCommand();
    if (!missing.isEmpty()) {
        report(QStringLiteral("Cannot find %1: Slurm's commands are not installed here, or not on the PATH.")
                   .arg(missing) +
               NothingSubmitted);
        return;
    }
    // The scripts may have gone with a cleaned-up study folder.
    m_checking = true;
    writeScripts(*study, [this, studyId, lines, words = options.words] {
        if (m_studies.find(studyId))
            startSubmission(studyId, lines, words);
    });
}

void SubmitMaster::startSubmission(const QString &studyId, const QList<int> &lines,
                                   const QStringList &options)
{
    const Study *study = m_studies.find(studyId);
    auto *submission = new StudySubmission(m_studies, studyId, lines, options, this);
    m_submission = submission;
    auto *progress = new QProgressDialog(m_context.dialogParent);
    progress->setObjectName(QStringLiteral("SubmitProgress"));
    progress->setWindowTitle(SubmitTitle);
    progress->setWindowModality(Qt::NonModal);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setMinimumDuration(0);
    progress->setRange(0, int(lines.size()));
    const QString name = QFileInfo(study->masterFile).fileName();
    m_progress = progress;
    connect(progress, &QProgressDialog::canceled, submission, &StudySubmission::cancel);
    connect(submission, &StudySubmission::progressed, progress, [progress, name](int done, int total) {
        progress->setValue(done);
        progress->setLabelText(QStringLiteral("Submitting %1 to the cluster: %2 of %3 command files")
                                   .arg(name)
                                   .arg(done)
                                   .arg(total));
    });
    connect(submission, &StudySubmission::finished, this, &SubmitMaster::submissionFinished);
    emit statusChanged(QStringLiteral("Submitting %1 to the cluster ...").arg(name));
    progress->show();
    submission->start();
}

void SubmitMaster::submissionFinished(const QString &error)
{
    StudySubmission *submission = m_submission;
    if (m_progress) {
        // Closing it by hand would count as Cancel.
        disconnect(m_progress, &QProgressDialog::canceled, nullptr, nullptr);
        m_progress->close();
    }
    if (!submission)
        return;
    submission->deleteLater();
    m_submission = nullptr;
    const int done = submission->submitted();
    const int total = submission->total();
    const Study *study = m_studies.find(submission->studyId());
    const QString name = study ? QFileInfo(study->masterFile).fileName() : QString();
    if (!error.isEmpty()) {
        emit statusChanged(
            QStringLiteral("Submitted %1 of %2 command files of %3").arg(done).arg(total).arg(name));
        report(QStringLiteral("sbatch failed: %1. %2 of %3 command files were submitted; Submit Again in the "
                              "Study window submits the rest.")
                   .arg(error)
                   .arg(done)
                   .arg(total));
        return;
    }
    emit statusChanged(
        submission->wasCancelled()
            ? QStringLiteral("Submitted %1 of %2 command files of %3 (cancelled)")
                  .arg(done)
                  .arg(total)
                  .arg(name)
            : QStringLiteral("Submitted %1 command files of %2 to the cluster").arg(done).arg(name));
}
