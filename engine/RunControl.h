#pragma once

#include "core/FrameState.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DocumentWindows;
class EngineLauncher;
class EngineRun;
class RunEndNotice;
class RunLog;
struct RunSettings;
class TEditForm;
class UserDialogs;
class QWidget;

// What a run works with, handed in by the frame that owns it.
struct RunContext
{
    UserDialogs &dialogs;
    // Owns the run's messages and progress window.
    QWidget *dialogParent;
    const ProgramSettings &settings;
    // How many command files a master run runs at once, and the launcher.
    const RunSettings &runs;
    DocumentWindows &documents;
    // Where the launch script is written.
    QString scriptFolder;
    // Where every run, started or not, leaves an entry.
    RunLog &log;
    // Told when a run ends, for a user who has gone elsewhere.
    RunEndNotice &endNotice;
};

// What the command-file run and the master-file run share: their context, the
// launcher that writes and starts the launch script, and the steps both take.
// The frame shows what they say on its status line and makes the explorer
// follow when they change the current folder.
class RunControl : public QObject
{
    Q_OBJECT

public:
    // Every run from now on writes and starts its script through launcher,
    // which must outlive the run.
    void setLauncher(EngineLauncher &launcher) { m_launcher = &launcher; }

    static const QString ExecuteTitle;

signals:
    void statusChanged(const QString &text);
    // A run made the command file's folder the current one.
    void currentFolderChanged();
    void started();
    void finished();

protected:
    RunControl(const RunContext &context, QObject *parent);

    EngineLauncher &launcher() const { return *m_launcher; }

    // Reports a missing engine and returns false; true when a file is there.
    bool checkEnginePath(const QString &commandFile);
    // The launcher's words (none when the engine starts directly); a
    // launcher that cannot be split or whose program is not found is
    // reported, and nothing is returned.
    std::optional<QStringList> launcherWords(const QString &commandFile);
    // Refuses a run whose output file is its command file (the redirection
    // would empty the command file before the engine reads it).
    void refuseOutputOverCommand(const QString &commandFile, const QString &outputFile);
    // "Cannot execute Quelm." with its status text.
    void reportCannotExecute(const QString &commandFile);
    // A message box and the log entry of a run that does not start.
    void refuse(const QString &title, const QString &message, const QString &commandFile);
    // Runs a step of the start; a file failure is shown in the general error
    // box and logged, and the start goes no further (false).
    bool startStep(TEditForm &window, const QString &commandFile, const std::function<void()> &step);
    // Opens the run's log entry and hands it what the run writes to
    // standard error; returns the entry for logEnd.
    int logRun(EngineRun &run, const QString &commandFile);
    // Closes the entry of a run that has ended.
    void logEnd(const EngineRun &run, int entry);
    // Makes the folder of path the current folder; a path without one, or a
    // folder that cannot be entered, leaves the current folder as it is.
    static void enterFolderOf(const QString &path);

    RunContext m_context;

private:
    EngineLauncher *m_launcher = nullptr;
};
