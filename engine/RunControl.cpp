#include "engine/RunControl.h"

#include "core/FileError.h"
#include "core/PathHelpers.h"
#include "documents/EditorWindow.h"
#include "engine/EngineLauncher.h"
#include "engine/RunLog.h"
#include "engine/RunSettings.h"
#include "engine/ShellWords.h"
#include "ui/UserDialogs.h"

#include <QDir>

const QString RunControl::ExecuteTitle = QStringLiteral("Execute");

RunControl::RunControl(const RunContext &context, QObject *parent) : QObject(parent), m_context(context)
{}

bool RunControl::checkEnginePath(const QString &commandFile)
{
    if (Paths::fileExists(m_context.settings.EnginePath))
        return true;
    refuse(ExecuteTitle, QStringLiteral("Cannot find executable Quelm File. Please change the Preferences."),
           commandFile);
    return false;
}

std::optional<QStringList> RunControl::launcherWords(const QString &commandFile)
{
    const ShellWords::Split launcher = ShellWords::split(m_context.runs.launcher);
    const QString change = QStringLiteral(" Please change the Preferences.");
    if (!launcher.ok()) {
        refuse(ExecuteTitle, launcher.error + change, commandFile);
        return std::nullopt;
    }
    // Checked here, where it can be named: the shell would only say so in
    // the run log, once for every command file of a master run.
    if (!launcher.words.isEmpty() && !isProgramFound(launcher.words.constFirst())) {
        refuse(ExecuteTitle,
               QStringLiteral("Cannot find the launcher %1.").arg(launcher.words.constFirst()) + change,
               commandFile);
        return std::nullopt;
    }
    return launcher.words;
}

void RunControl::refuseOutputOverCommand(const QString &commandFile, const QString &outputFile)
{
    refuse(ExecuteTitle,
           QStringLiteral("The output file %1 is the command file itself: the run would empty it.")
               .arg(outputFile),
           commandFile);
}

void RunControl::reportCannotExecute(const QString &commandFile)
{
    refuse(ExecuteTitle, QStringLiteral("Cannot execute Quelm."), commandFile);
    emit statusChanged(QStringLiteral("Error while trying to execute Quelm"));
}

void RunControl::refuse(const QString &title, const QString &message, const QString &commandFile)
{
    m_context.log.addRefusal(commandFile, message);
    m_context.dialogs.error(m_context.dialogParent, title, message);
}

bool RunControl::startStep(TEditForm &window, const QString &commandFile, const std::function<void()> &step)
{
    return window.guarded([&] {
        try {
            step();
        } catch (const FileError &failure) {
            m_context.log.addRefusal(commandFile, failure.message() + QLatin1Char('.'));
            throw;
        }
    });
}

int RunControl::logRun(EngineRun &run, const QString &commandFile)
{
    RunLog &log = m_context.log;
    const int entry = log.beginEntry(commandFile);
    connect(&run, &EngineRun::errorOutput, &log,
            [&log, entry](const QByteArray &bytes) { log.addErrorOutput(entry, bytes); });
    return entry;
}

void RunControl::logEnd(const EngineRun &run, int entry)
{
    m_context.log.endEntry(entry, run.outcome());
}

void RunControl::enterFolderOf(const QString &path)
{
    const QString folder = Paths::directoryPart(path);
    if (!folder.isEmpty())
        QDir::setCurrent(folder);
}
