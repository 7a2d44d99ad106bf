#include "engine/LaunchScript.h"

#include <QFile>

namespace LaunchScript {

Shell platformShell()
{
#ifdef Q_OS_WIN
    return Shell::WindowsCmd;
#else
    return Shell::Posix;
#endif
}

QString scriptFileName(Shell shell)
{
    return shell == Shell::WindowsCmd ? QStringLiteral("QuelmExec.bat") : QStringLiteral("QuelmExec.sh");
}

QString windowsLine(const QString &enginePath, const QString &commandFileName, const QString &outputFileName,
                    const QStringList &launcher)
{
    const QChar quote = QLatin1Char('"');
    QString words;
    for (const QString &word : launcher)
        words += quote + word + quote + QLatin1Char(' ');
    return words + quote + enginePath + quote + QLatin1String(" cf=") + quote + commandFileName + quote +
           QLatin1String(" >") + quote + outputFileName + quote;
}

QString posixQuoted(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1String("'"), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString posixLine(const QString &enginePath, const QString &commandFileName, const QString &outputFileName,
                  const QStringList &launcher)
{
    // exec makes the started process the engine itself, so its end is the
    // run's end. A relative engine path gets "./" so that sh never searches
    // PATH for it and never reads a leading "-" as an option of exec. The
    // shell reads this script on its standard input, which the engine must
    // not inherit. A launcher's first word is a program's name, which is
    // searched for; srun and its kind hand on the engine's standard output.
    QString engine = enginePath;
    if (!engine.startsWith(QLatin1Char('/')))
        engine.prepend(QLatin1String("./"));
    QString words;
    for (const QString &word : launcher)
        words += posixQuoted(word) + QLatin1Char(' ');
    return QLatin1String("exec ") + words + posixQuoted(engine) + QLatin1String(" cf=") +
           posixQuoted(commandFileName) + QLatin1String(" >") + posixQuoted(outputFileName) +
           QLatin1String(" </dev/null");
}

QString scriptText(Shell shell, const QString &enginePath, const QString &commandFileName,
                   const QString &outputFileName, const QStringList &launcher)
{
    if (shell == Shell::WindowsCmd)
        return windowsLine(enginePath, commandFileName, outputFileName, launcher) + QLatin1String("\r\n");
    return posixLine(enginePath, commandFileName, outputFileName, launcher) + QLatin1Char('\n');
}

QByteArray scriptBytes(Shell shell, const QString &enginePath, const QString &commandFileName,
                       const QString &outputFileName, const QStringList &launcher)
{
    const QString text = scriptText(shell, enginePath, commandFileName, outputFileName, launcher);
    return shell == Shell::WindowsCmd ? text.toLocal8Bit() : QFile::encodeName(text);
}

} // namespace LaunchScript
