#include "engine/MasterRun.h"

#include "core/FileError.h"
#include "core/LineReader.h"
#include "core/PathHelpers.h"
#include "core/StatusTexts.h"
#include "core/TextFile.h"
#include "documents/DocumentWindows.h"
#include "documents/FileFilters.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "engine/CommandRun.h"
#include "engine/EngineLauncher.h"
#include "engine/MasterProgress.h"
#include "engine/OutputName.h"
#include "engine/RunLog.h"
#include "engine/RunSettings.h"
#include "ui/ErrorGuard.h"
#include "ui/UserDialogs.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString MasterTitle = QStringLiteral("Execute Master");

// The Run Log's word on a line that names no file: where it was looked for.
QString notFoundReason(const QString &line, const QString &masterFolder)
{
    if (line.isEmpty() || !QDir::isRelativePath(line))
        return QStringLiteral("there is no such file");
    const QString current = QDir::currentPath();
    if (QDir(current) == QDir(masterFolder))
        return QStringLiteral("there is no such file in %1").arg(QDir::toNativeSeparators(current));
    return QStringLiteral("there is no such file in %1 nor in %2, the master file's folder")
        .arg(QDir::toNativeSeparators(current), QDir::toNativeSeparators(masterFolder));
}

// Holds the command-file run for as long as the master run lasts.
class CommandRunHold
{
public:
    explicit CommandRunHold(CommandRun &run) : m_run(run) { m_run.hold(); }
    ~CommandRunHold() { m_run.resume(); }
    CommandRunHold(const CommandRunHold &) = delete;
    CommandRunHold &operator=(const CommandRunHold &) = delete;

private:
    CommandRun &m_run;
};

} // namespace

MasterRun::MasterRun(const RunContext &context, CommandRun &commandRun, QObject *parent)
    : RunControl(context, parent), m_commandRun(commandRun)
{}

MasterRun::~MasterRun() = default;

MasterRun::Batch::Batch(const QStringList &masterLines, const QStringList &words, int atOnce,
                        MasterProgress &window)
    : lines(masterLines), launcherWords(words), schedule(int(masterLines.size()), atOnce), progress(window)
{}

void MasterRun::ExecMaster()
{
    if (!m_context.documents.masterWindow())
        return;
    QByteArray masterText;
    QStringList launcherWords;
    if (!prepare(masterText, launcherWords))
        return;
    LineReader reader(masterText);
    if (reader.atEnd()) {
        m_context.dialogs.error(m_context.dialogParent, MasterTitle,
                                QStringLiteral("The master file is empty."));
        return;
    }
    QStringList lines;
    while (!reader.atEnd())
        lines.append(QString::fromUtf8(reader.readLine()));
    const CommandRunHold hold(m_commandRun);
    emit started();
    runLines(lines, launcherWords, m_context.documents.masterWindow()->FileName);
    emit finished();
}

bool MasterRun::prepare(QByteArray &masterText, QStringList &launcherWords)
{
    TMasterEditForm &window = *m_context.documents.masterWindow();
    if (!checkEnginePath(window.FileName))
        return false;
    const std::optional<QStringList> words = this->launcherWords(window.FileName);
    if (!words)
        return false;
    launcherWords = *words;
    window.bringToFront();
    if (window.isUntitled()) {
        m_context.dialogs.error(m_context.dialogParent, MasterTitle,
                                QStringLiteral("The Master File Name is missing."));
        return false;
    }
    emit statusChanged(QStringLiteral("Saving Master File"));
    bool written = false;
    if (!window.guarded([&window, &written] { written = window.writeFile(); }) || !written)
        return false;

    // The whole list is read at once, so the file is closed again before
    // anything runs, whichever way the run ends. It is read in the encoding
    // the master window saved it in.
    try {
        masterText = TextFile::readText(window.FileName).utf8;
    } catch (const FileError &) {
        m_context.dialogs.error(m_context.dialogParent, MasterTitle,
                                QStringLiteral("Cannot read master file."));
        return false;
    }
    return true;
}

void MasterRun::stop()
{
    if (!m_batch)
        return;
    m_batch->schedule.stop();
    m_batch->waiting.reset();
    for (Running &running : m_batch->running)
        running.run->stop();
    showProgress(*m_batch);
}

void MasterRun::runLines(const QStringList &lines, const QStringList &launcherWords,
                         const QString &masterFile)
{
    const int atOnce = qBound(RunSettings::MinAtOnce, m_context.runs.atOnce, RunSettings::MaxAtOnce);
    MasterProgress progress(m_context.dialogParent, atOnce);
    connect(&progress, &MasterProgress::stopRequested, this, &MasterRun::stop);
    Batch batch(lines, launcherWords, atOnce, progress);
    batch.masterFolder = QFileInfo(masterFile).absolutePath();
    m_batch = &batch;
    for (;;) {
        startLines(batch);
        if (batch.running.empty())
            break;
        waitForAnEnd(batch);
        collectEnded(batch);
    }
    m_batch = nullptr;
    progress.hide();
    // A stopped run ends as after its last line; a failed one says why only
    // now, when nothing runs any more.
    if (batch.failure)
        batch.failure();
    else if (!batch.failed)
        emit statusChanged(StatusTexts::Ready);
}

void MasterRun::startLines(Batch &batch)
{
    while (!batch.failed && batch.schedule.hasRoom()) {
        const int lineNumber = batch.schedule.nextLine();
        if (lineNumber == 0)
            return;
        if (!batch.waiting) {
            batch.waiting = lookUp(batch, lineNumber);
            if (!batch.waiting)
                return;
        }
        // A line on the files of one still running waits for its end.
        if (!batch.schedule.mayStart(batch.waiting->job))
            return;
        const Line line = *batch.waiting;
        batch.waiting.reset();
        if (!startLine(batch, line))
            return;
    }
}

std::optional<MasterRun::Line> MasterRun::lookUp(Batch &batch, int lineNumber)
{
    const QString &text = batch.lines.at(lineNumber - 1);
    // A relative line is looked up from the previous command file's folder
    // (for the first line, the one the command window showed).
    enterFolderOf(m_context.documents.shownFiles().CommandFileName);
    emit currentFolderChanged();
    Line line;
    // Kept absolute, so that the command window saves to the listed file
    // whatever the current folder is later.
    line.commandFile = findListedFile(text, batch.masterFolder);
    if (line.commandFile.isEmpty()) {
        m_context.log.addRefusal(text, notFoundReason(text, batch.masterFolder));
        fail(batch, [this] {
            m_context.dialogs.error(m_context.dialogParent, MasterTitle, QStringLiteral("Cannot find ???"));
        });
        return std::nullopt;
    }
    line.outputFile = Engine::outputFileName(line.commandFile, m_context.settings.OutputFileExtension);
    if (Engine::outputIsCommandFile(line.commandFile, line.outputFile)) {
        fail(batch, [this, line] { refuseOutputOverCommand(line.commandFile, line.outputFile); });
        return std::nullopt;
    }
    line.job = {lineNumber, Engine::fileKey(line.commandFile), Engine::fileKey(line.outputFile)};
    return line;
}

QString MasterRun::findListedFile(const QString &line, const QString &masterFolder)
{
    if (Paths::fileExists(line))
        return QFileInfo(line).absoluteFilePath();
    // Master files are mostly written relative to themselves.
    if (line.isEmpty() || !QDir::isRelativePath(line))
        return QString();
    const QString beside = QDir(masterFolder).filePath(line);
    return Paths::fileExists(beside) ? QFileInfo(beside).absoluteFilePath() : QString();
}

bool MasterRun::startLine(Batch &batch, const Line &line)
{
    TCommandEditForm &window = m_context.documents.commandWindow();
    if (window.isModified()) {
        batch.progress.hide();
        if (window.askToSave(QStringLiteral("Save changes to current command file?")) ==
            TEditForm::SaveOutcome::Cancelled) {
            fail(batch, [this] { emit statusChanged(StatusTexts::Ready); });
            return false;
        }
    }
    if (!m_context.documents.showCommandFile(line.commandFile)) {
        fail(batch, {});
        return false;
    }
    m_context.documents.nameRunOutput(line.outputFile);
    enterFolderOf(line.commandFile);
    try {
        Engine::checkOutputWritable(line.outputFile);
    } catch (const FileError &failure) {
        m_context.log.addRefusal(line.commandFile, failure.message() + QLatin1Char('.'));
        // Told in the general error box, as every failure of a file is.
        fail(batch, [this, failure] {
            runGuarded(m_context.dialogs, m_context.dialogParent, [&failure] { throw failure; });
        });
        return false;
    }

    if (!launcher().writeScript(m_context.scriptFolder, batch.launcherWords, m_context.settings.EnginePath,
                                line.commandFile, line.outputFile)) {
        fail(batch, [this, line] { reportCannotExecute(line.commandFile); });
        return false;
    }
    emit statusChanged(QStringLiteral("Executing Quelm ..."));
    std::unique_ptr<EngineRun> run = launcher().start(QDir::currentPath());
    if (!run) {
        fail(batch, [this, line] { reportCannotExecute(line.commandFile); });
        return false;
    }
    const int logEntry = logRun(*run, line.commandFile);
    connect(run.get(), &EngineRun::ended, this, [&batch] {
        if (batch.wait)
            batch.wait->quit();
    });
    batch.schedule.started(line.job);
    batch.running.push_back(Running{std::move(run), logEntry, line});
    showProgress(batch);
    return true;
}

void MasterRun::fail(Batch &batch, std::function<void()> report)
{
    if (batch.failed)
        return;
    batch.failed = true;
    batch.failure = std::move(report);
    batch.waiting.reset();
    batch.schedule.stop();
    showProgress(batch);
}

void MasterRun::waitForAnEnd(Batch &batch)
{
    const auto anyEnded = [&batch] {
        return std::any_of(batch.running.cbegin(), batch.running.cend(),
                           [](const Running &running) { return !running.run->isRunning(); });
    };
    // An end is only ever noticed while events are handled, so one that came
    // before the loop started is seen here and not missed.
    QEventLoop loop;
    batch.wait = &loop;
    while (!anyEnded())
        loop.exec();
    batch.wait = nullptr;
}

void MasterRun::collectEnded(Batch &batch)
{
    auto it = batch.running.begin();
    while (it != batch.running.end()) {
        if (it->run->isRunning()) {
            ++it;
            continue;
        }
        logEnd(*it->run, it->logEntry);
        batch.schedule.ended(it->line.job.line);
        it = batch.running.erase(it);
    }
    showProgress(batch);
}

void MasterRun::showProgress(Batch &batch)
{
    // A window that stays hidden after the run is over, or while a question is asked.
    if (batch.running.empty())
        return;
    MasterProgress &progress = batch.progress;
    if (batch.schedule.atOnce() == 1) {
        const Running &running = batch.running.front();
        progress.showRunning(running.line.job.line, running.line.commandFile);
        return;
    }
    QStringList files;
    for (const Running &running : batch.running)
        files.append(MasterProgress::runningText(running.line.job.line, running.line.commandFile));
    progress.showCounts(batch.schedule.doneCount(), batch.schedule.runningCount(), batch.schedule.leftCount(),
                        files, batch.schedule.isStopping());
}
