#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. --help, --version and a mistake are answered
// on the terminal before any window (or display connection) exists.
struct CommandLineOutcome
{
    bool startWindow = true;
    int exitCode = 0;
    QString standardOutput;
    QString standardError;
    // The file arguments; the first one, if any, is opened at start-up.
    QStringList files;
};

// arguments include the program name, as argv does.
CommandLineOutcome parseCommandLine(const QStringList &arguments);

// argv as strings that keep every byte of a file name, whatever encoding it
// was written in, so that the file opens and saves back under that name.
QStringList nativeArguments(int argc, const char *const *argv);

// "Ostrel 0.1" and the licence, as --version prints it.
QString versionText();
