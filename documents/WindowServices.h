#pragma once

class EditorPreferences;
class PrintContext;
class ProgressLine;
class UserDialogs;
struct ProgramSettings;

// What the program hands every child window when it makes it: the dialogs,
// what printing needs, the settings in force (read, never written, by the
// windows), the editor preferences all windows share, and the status line's
// progress bar for long work.
struct WindowServices
{
    UserDialogs &dialogs;
    PrintContext &printing;
    const ProgramSettings &settings;
    EditorPreferences &editorPreferences;
    ProgressLine &progress;
};
