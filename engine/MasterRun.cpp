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
    if (!checkEnginePath())
        return false;
    TMasterEditForm &window = *m_context.documents.masterWindow();
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

void MasterRun::runLines(LineReader &reader)
{
    MasterProgress progress(m_context.dialogParent);
    int lineNumber = 0;
    while (!reader.atEnd()) {
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
        m_context.dialogs.error(m_context.dialogParent, MasterTitle, QStringLiteral("Cannot find ???"));
        return false;
    }
    // Kept absolute, so that the command window saves to the listed file
    // whatever the current folder is later.
    const QString commandFile = QFileInfo(line).absoluteFilePath();

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
    files.OutputFileName = Engine::outputFileName(commandFile, m_context.settings.OutputFileExtension);
    enterFolderOf(commandFile);

    if (!launcher().writeScript(m_context.scriptFolder, m_context.settings.EnginePath, commandFile,
                                files.OutputFileName))
        return cannotExecute(progress);
    emit statusChanged(QStringLiteral("Executing Quelm ..."));
    const std::unique_ptr<EngineRun> run = launcher().start(QDir::currentPath());
    if (!run)
        return cannotExecute(progress);
    emit statusChanged(QStringLiteral("Executing Quelm ..."));
    progress.showRunning(lineNumber, commandFile);
    run->waitUntilEnded();
    if (run->engineNotExecuted())
        return cannotExecute(progress);
    return true;
}

bool MasterRun::cannotExecute(MasterProgress &progress)
{
    progress.hide();
    reportCannotExecute();
    return false;
}
