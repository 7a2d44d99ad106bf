#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class EngineRun;
class FrameFixture;
class MasterProgress;
class TEditForm;
class TFrameForm;

// Shell scripts as engines, and the steps that the run tests share.
namespace RunHelpers {

inline const QString RunningStatus = QStringLiteral("Executing Quelm ... (Execute, Stop Quelm ends it)");
constexpr int EndTimeout = 30000;

// Holds until a file named like the command file plus ".go" appears.
inline const QByteArray WaitForGo = "f=${1#cf=}; while [ ! -e \"$f.go\" ]; do sleep 0.05; done";
// Holds only for command files whose name holds "gated".
inline const QByteArray WaitWhenGated =
    "case \"$1\" in *gated*) f=${1#cf=}; while [ ! -e \"$f.go\" ]; do sleep 0.05; done;; esac";

// An engine that appends "start ARG" to the log, runs between, writes its
// argument and working folder to standard output, then appends "end ARG".
QByteArray engineBody(const QString &log, const QByteArray &between = QByteArray());

// Writes engines/engine in the fixture's home with body after a "#!/bin/sh"
// line and makes it the frame's EnginePath.
QString makeEngine(FrameFixture &f, const QByteArray &body, bool executable = true);
// makeEngine with engineBody logging to logPath(f).
QString makeLoggingEngine(FrameFixture &f, const QByteArray &between = QByteArray());
QString logPath(const FrameFixture &f);
QStringList logOf(const FrameFixture &f);

// Writes a command file and opens it in the command window.
QString openCommand(FrameFixture &f, const QString &name, const QByteArray &text = "1+1\r\n");
// Writes a master file and opens it in a new master window.
void openMaster(FrameFixture &f, const QByteArray &text, const QString &name = QStringLiteral("jobs.mst"));

// Lets an engine holding on WaitForGo end.
void letGo(const QString &commandFile);

// Runs the master window's file (ExecMaster), calling whileShown every 20 ms
// while its progress window is shown: the test's hand during the run.
void execMasterWatching(TFrameForm &frame, const std::function<void(MasterProgress &)> &whileShown);

// Returns once run's process has ended, handling events meanwhile.
void waitUntilEnded(EngineRun &run);

// Whether the command-file run ended within EndTimeout.
bool runEnded(TFrameForm &frame);

TEditForm *activeWindow(TFrameForm &frame);

} // namespace RunHelpers
