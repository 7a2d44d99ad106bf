#pragma once

#include "core/FileAtLine.h"

#include <QString>
#include <QStringList>

#include <functional>

// What the command line asks for. --help, --version and a mistake are answered
// on the terminal before any window (or display connection) exists.
struct CommandLineOutcome
{
    bool startWindow = true;
    int exitCode = 0;
    QString standardOutput;
    QString standardError;
    // The file arguments as given (names, "+LINE", "FILE:LINE"), and where
    // the words after a "--" begin, which are names whatever they look like
    // (-1 without one).
    QStringList files;
    qsizetype namesFrom = -1;
    // --new-instance: a program of its own even while another one runs.
    bool newInstance = false;
    // --no-session: start as if no session had been left.
    bool restoreSession = true;
};

// arguments include the program name, as argv does.
CommandLineOutcome parseCommandLine(const QStringList &arguments);

// The files that words name, in order, each with the line (and column) to
// show: "FILE:LINE", "FILE:LINE:COLUMN" or "+LINE FILE". A word that names an
// existing file is that file, so a name that really ends in ":3" stays a
// name; where several readings name files, the longest name wins. Words
// from namesFrom on are names only. Words that name no existing file go.
FilesAtLines filesAtLines(const QStringList &words, const std::function<bool(const QString &)> &exists,
                          qsizetype namesFrom = -1);

// argv as strings that keep every byte of a file name, whatever encoding it
// was written in, so that the file opens and saves back under that name.
QStringList nativeArguments(int argc, const char *const *argv);

// "Ostrel 0.1" and the licence, as --version prints it.
QString versionText();
