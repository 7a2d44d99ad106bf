#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The one-line script that runs the engine on a command file and sends its
// standard output into the output file. Both forms are plain functions so
// that either can be checked on any platform; platformShell() picks the one
// the program writes. A launcher (the words of a command such as srun that
// starts the engine on the program's behalf) stands before the engine's
// path, each word quoted as the paths are.
namespace LaunchScript {

enum class Shell {
    WindowsCmd, // QuelmExec.bat, run by cmd.exe
    Posix       // QuelmExec.sh, run by /bin/sh
};

Shell platformShell();

// "QuelmExec.bat" or "QuelmExec.sh".
QString scriptFileName(Shell shell = platformShell());

// "ENGINE" cf="COMMAND" >"OUTPUT", paths unchanged; no line end. Each
// launcher word comes first, in double quotes.
QString windowsLine(const QString &enginePath, const QString &commandFileName, const QString &outputFileName,
                    const QStringList &launcher = {});

// exec 'ENGINE' cf='COMMAND' >'OUTPUT' </dev/null; no line end. Every path and
// launcher word is a single-quoted word, so the shell interprets none of its
// characters.
QString posixLine(const QString &enginePath, const QString &commandFileName, const QString &outputFileName,
                  const QStringList &launcher = {});

// text as one single-quoted shell word; a ' inside becomes '\''.
QString posixQuoted(const QString &text);

// The whole script: the line and its line end (CR LF for cmd.exe, LF for sh).
QString scriptText(Shell shell, const QString &enginePath, const QString &commandFileName,
                   const QString &outputFileName, const QStringList &launcher = {});

// scriptText in the bytes the shell reads: the 8-bit code page for cmd.exe,
// the file-name encoding for sh (so the paths reach the engine as on disk).
QByteArray scriptBytes(Shell shell, const QString &enginePath, const QString &commandFileName,
                       const QString &outputFileName, const QStringList &launcher = {});

} // namespace LaunchScript
