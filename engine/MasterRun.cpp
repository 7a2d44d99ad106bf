#include "engine/MasterRun.h"

#include "core/FileError.h"
#include "core/LineReader.h"
#include "core/PathHelpers.h"
#include "core/StatusTexts.h"
#include "core/TextFile.h"
#include "core/UserDialogs.h"
#include "documents/DocumentWindows.h"
#include "documents/FileFilters.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "engine/CommandRun.h"
#include "engine/EngineLauncher.h"
#include "engine/MasterProgress.h"
#include "engine/OutputName.h"
#include "engine/RunLog.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString MasterTitle = QStringLiteral("Execute Master");

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

void MasterRun::ExecMaster()
{
    if (!m_context.documents.masterWindow())
        return;
    QByteArray masterText;
    if (!prepare(masterText))
        return;
    LineReader reader(masterText);
    if (reader.atEnd()) {
        m_context.dialogs.error(m_context.dialogParent, MasterTitle,
                                QStringLiteral("The master file is empty."));
        return;
    }
    const CommandRunHold hold(m_commandRun);
    emit started();
    runLines(reader);
    emit finished();
}

bool MasterRun::prepare(QByteArray &masterText)
{
    TMasterEditForm &window = *m_context.documents.masterWindow();
    if (!checkEnginePath(window.FileName))
        return false;
    window.bringToFront();
    if (window.isUntitled()) {
        m_context.dialogs.error(m_context.dialogParent, MasterTitle,
                                QStringLiteral("The Master File Name is missing."));
        return false;
    }
    emit statusChanged(QStringLiteral("Saving Master File"));
    if (!window.guarded([&window] { window.writeFile(); }))
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
    m_stopRequested = true;
    if (m_current)
        m_current->stop();
}

void MasterRun::runLines(LineReader &reader)
{
    MasterProgress progress(m_context.dialogParent);
    connect(&progress, &MasterProgress::stopRequested, this, &MasterRun::stop);
    m_stopRequested = false;
    int lineNumber = 0;
    // A stopped run ends as after its last line.
    while (!reader.atEnd() && !m_stopRequested) {
        const QString line = QString::fromUtf8(reader.readLine());
        if (!runLine(++lineNumber, line, progress))
            return;
    }
    progress.hide();
    emit statusChanged(StatusTexts::Ready);
}

bool MasterRun::runLine(int lineNumber, const QString &line, MasterProgress &progress)
{
    ShownFiles &files = m_context.files;
    // A relative line is looked up from the previous command file's folder
    // (for the first line, the one the command window showed).
    enterFolderOf(files.CommandFileName);
    emit currentFolderChanged();
    if (!Paths::fileExists(line)) {
        progress.hide();
        m_context.log.addRefusal(line, QStringLiteral("there is no such file"));
        m_context.dialogs.error(m_context.dialogParent, MasterTitle, QStringLiteral("Cannot find ???"));
        return false;
    }
    // Kept absolute, so that the command window saves to the listed file
    // whatever the current folder is later.
    const QString commandFile = QFileInfo(line).absoluteFilePath();
    const QString outputFile = Engine::outputFileName(commandFile, m_context.settings.OutputFileExtension);
    if (Engine::outputIsCommandFile(commandFile, outputFile)) {
        progress.hide();
        refuseOutputOverCommand(commandFile, outputFile);
        return false;
    }

    TCommandEditForm &window = m_context.documents.commandWindow();
    if (window.isModified()) {
        progress.hide();
        if (!window.askToSave(QStringLiteral("Save changes to current command file?"))) {
            emit statusChanged(StatusTexts::Ready);
            return false;
        }
    }
    if (!showFile(window, commandFile, Captions::Command))
        return false;
    files.CommandFileName = commandFile;
    files.OutputFileName = outputFile;
    enterFolderOf(commandFile);

    if (!launcher().writeScript(m_context.scriptFolder, m_context.settings.EnginePath, commandFile,
                                outputFile))
        return cannotExecute(progress, commandFile);
    emit statusChanged(QStringLiteral("Executing Quelm ..."));
    const std::unique_ptr<EngineRun> run = launcher().start(QDir::currentPath());
    if (!run)
        return cannotExecute(progress, commandFile);
    emit statusChanged(QStringLiteral("Executing Quelm ..."));
    const int logEntry = logRun(*run, commandFile);
    progress.showRunning(lineNumber, commandFile);
    m_current = run.get();
    run->waitUntilEnded();
    m_current = nullptr;
    logEnd(*run, logEntry);
    return true;
}

bool MasterRun::cannotExecute(MasterProgress &progress, const QString &commandFile)
{
    progress.hide();
    reportCannotExecute(commandFile);
    return false;
}
