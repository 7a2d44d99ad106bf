#pragma once

class EditorPreferences;
class PrintContext;
class UserDialogs;
struct ProgramSettings;

// What the program hands every child window when it makes it: the dialogs,
// what printing needs, the settings in force (read, never written, by the
// windows) and the editor preferences all windows share.
struct WindowServices
{
    UserDialogs &dialogs;
    PrintContext &printing;
    const ProgramSettings &settings;
    EditorPreferences &editorPreferences;
};
