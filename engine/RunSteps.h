#pragma once

#include <QString>

class TEditForm;
class TFrameForm;

// What the command-file run and the master-file run do alike.
namespace RunSteps {

inline const QString ExecuteTitle = QStringLiteral("Execute");
inline const QString ExecutingStatus = QStringLiteral("Executing Quelm ...");
inline const QString ReadyStatus = QStringLiteral("Ready.");

// Reports a missing engine and returns false; true when a file is there.
bool checkEnginePath(TFrameForm &frame);

// "Cannot execute Quelm." with its status text.
void reportCannotExecute(TFrameForm &frame);

// Makes the folder of path the current folder; a path without one, or a
// folder that cannot be entered, leaves the current folder as it is.
void enterFolderOf(const QString &path);

// Loads path into window, captions it and brings it forward. When the file
// cannot be read the general error box says so and the window keeps the file
// it showed, so that a later save cannot put its old text under the new name.
bool showFile(TFrameForm &frame, TEditForm &window, const QString &path, const QString &captionPrefix);

} // namespace RunSteps
