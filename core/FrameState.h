#pragma once

#include <QString>

// The four settings that every part of the program reads by these names. They
// are taken as the user gave them and never checked when set: the places
// that use one report what is wrong with it. The settings file stores them
// and the preferences dialog edits them.
struct ProgramSettings
{
    QString EnginePath;
    QString HelpFilePath;
    QString CommandFileExtension; // with its dot: ".cf"
    QString OutputFileExtension;  // with its dot: ".out"
};

// The files that the command and output windows show, as the open flows and
// the runs share them; empty while a window is untitled. A run saves the
// command window under its own name and runs the engine on CommandFileName,
// so every flow keeps the two equal.
struct ShownFiles
{
    QString CommandFileName;
    QString OutputFileName;
};
