#include "engine/MasterRun.h"

#include "app/FileError.h"
#include "app/LineReader.h"
#include "app/MDIFrame.h"
#include "app/PathHelpers.h"
#include "app/TextFile.h"
#include "documents/FileFilters.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "engine/EngineLauncher.h"
#include "engine/MasterProgress.h"
#include "engine/OutputName.h"
#include "engine/RunSteps.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

const QString MasterTitle = QStringLiteral("Execute Master");

// While a master run holds the program, a command-file run in progress must
// neither end under it nor lose its output: the timer waits, and the output
// file name that the end of that run loads is given back afterwards.
class CommandRunPause
{
public:
    explicit CommandRunPause(TFrameForm &frame) : m_frame(frame), m_outputFileName(frame.OutputFileName)
    {
        m_frame.timer()->stop();
    }
    ~CommandRunPause()
    {
        if (m_frame.EngineRunning) {
            m_frame.OutputFileName = m_outputFileName;
            m_frame.timer()->start();
        }
    }
    CommandRunPause(const CommandRunPause &) = delete;
    CommandRunPause &operator=(const CommandRunPause &) = delete;

private:
    TFrameForm &m_frame;
    QString m_outputFileName;
};

} // namespace

void MasterRun::ExecMaster()
{
    if (!m_frame.MasterWindowOpen || !m_frame.MasterWindow)
        return;
    QByteArray masterText;
    if (!prepare(masterText))
        return;
    LineReader reader(masterText);
    if (reader.atEnd()) {
        m_frame.dialogs().error(&m_frame, MasterTitle, QStringLiteral("The master file is empty."));
        return;
    }
    const CommandRunPause pause(m_frame);
    runLines(reader);
}

bool MasterRun::prepare(QByteArray &masterText)
{
    if (!RunSteps::checkEnginePath(m_frame))
        return false;
    TMasterEditForm &window = *m_frame.MasterWindow;
    window.bringToFront();
    if (window.isUntitled()) {
        m_frame.dialogs().error(&m_frame, MasterTitle, QStringLiteral("The Master File Name is missing."));
        return false;
    }
    m_frame.setStatusText(QStringLiteral("Saving Master File"));
    if (!m_frame.guarded([&window] { window.writeFile(); }))
        return false;

    // The whole list is read at once, so the file is closed again before
    // anything runs, whichever way the run ends. It is read in the encoding
    // the master window saved it in.
    try {
        masterText = TextFile::readText(window.FileName).utf8;
    } catch (const FileError &) {
        m_frame.dialogs().error(&m_frame, MasterTitle, QStringLiteral("Cannot read master file."));
        return false;
    }
    return true;
}

void MasterRun::runLines(LineReader &reader)
{
    MasterProgress progress(&m_frame);
    int lineNumber = 0;
    while (!reader.atEnd()) {
        const QString line = QString::fromUtf8(reader.readLine());
        if (!runLine(++lineNumber, line, progress))
            return;
    }
    progress.hide();
    m_frame.setStatusText(RunSteps::ReadyStatus);
}

bool MasterRun::runLine(int lineNumber, const QString &line, MasterProgress &progress)
{
    // A relative line is looked up from the previous command file's folder
    // (for the first line, the one the command window showed).
    RunSteps::enterFolderOf(m_frame.CommandFileName);
    m_frame.followCurrentDirectory(false);
    if (!Paths::fileExists(line)) {
        progress.hide();
        m_frame.dialogs().error(&m_frame, MasterTitle, QStringLiteral("Cannot find ???"));
        return false;
    }
    // Kept absolute, so that the command window saves to the listed file
    // whatever the current folder is later.
    const QString commandFile = QFileInfo(line).absoluteFilePath();

    TCommandEditForm &window = *m_frame.CommandWindow;
    if (window.isModified()) {
        progress.hide();
        if (!window.askToSave(QStringLiteral("Save changes to current command file?"))) {
            m_frame.setStatusText(RunSteps::ReadyStatus);
            return false;
        }
    }
    if (!RunSteps::showFile(m_frame, window, commandFile, Captions::Command))
        return false;
    m_frame.CommandFileName = commandFile;
    m_frame.OutputFileName = Engine::outputFileName(commandFile, m_frame.OutputFileExtension);
    RunSteps::enterFolderOf(commandFile);

    EngineLauncher &launcher = m_frame.engineLauncher();
    if (!launcher.writeScript(m_frame.dataDir(), m_frame.EnginePath, commandFile, m_frame.OutputFileName))
        return cannotExecute(progress);
    m_frame.setStatusText(RunSteps::ExecutingStatus);
    const std::unique_ptr<EngineRun> run = launcher.start(QDir::currentPath());
    if (!run)
        return cannotExecute(progress);
    m_frame.setStatusText(RunSteps::ExecutingStatus);
    progress.showRunning(lineNumber, commandFile);
    run->waitUntilEnded();
    if (run->engineNotExecuted())
        return cannotExecute(progress);
    return true;
}

bool MasterRun::cannotExecute(MasterProgress &progress)
{
    progress.hide();
    RunSteps::reportCannotExecute(m_frame);
    return false;
}
