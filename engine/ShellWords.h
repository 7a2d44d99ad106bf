#pragma once

#include <QString>
#include <QStringList>

// The launcher command line ("srun --quiet --ntasks=1") cut into words the
// way a POSIX shell cuts a command: blanks separate words, single quotes
// keep everything up to the next one, double quotes keep everything but
// their own escapes, and a backslash keeps the character after it. Nothing
// is expanded: the words go into the launch script quoted one by one. A
// character a shell would act on (a pipe, a redirection, a variable, a
// comment, a home folder) is refused rather than passed on silently, since
// the user who typed it meant the shell to act on it; so is a line break, or
// any other control character but a tab, wherever it stands.
namespace ShellWords {

struct Split
{
    QStringList words;
    // Empty when the line could be split; otherwise what is wrong with it.
    QString error;
    bool ok() const { return error.isEmpty(); }
};

Split split(const QString &line);

// The same cutting for a line of options (sbatch's), which may well begin
// with one.
Split splitWords(const QString &line);

} // namespace ShellWords
