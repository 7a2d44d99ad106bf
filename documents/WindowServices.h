#pragma once

class PrintContext;
class UserDialogs;
struct ProgramSettings;

// What the program hands every child window when it makes it: the dialogs,
// what printing needs, and the settings in force (read, never written, by
// the windows).
struct WindowServices
{
    UserDialogs &dialogs;
    PrintContext &printing;
    const ProgramSettings &settings;
};
