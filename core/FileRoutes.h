#pragma once

#include <QString>

// Which window a file opens in when the user opens it without naming one: a
// double-click in the explorer, a file dropped or handed over, the place of
// an engine's message.
namespace FileRoutes {

enum class TargetWindow { Command, Output, Another };

// Command files go to the command window, output files to the output window
// and any other file to a window of its own. Extensions are compared with
// the letters A to Z folded to lower case and nothing else; when both
// settings are equal the command window wins. An empty setting matches no
// file, so that a setting lost from a damaged settings file does not send
// every file without an extension into the command window.
TargetWindow windowForFile(const QString &path, const QString &commandExt, const QString &outputExt);

} // namespace FileRoutes
