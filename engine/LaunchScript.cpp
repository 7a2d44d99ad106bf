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

QString windowsLine(const QString &enginePath, const QString &commandFileName, const QString &outputFileName)
{
    const QChar quote = QLatin1Char('"');
    return quote + enginePath + quote + QLatin1String(" cf=") + quote + commandFileName + quote +
           QLatin1String(" >") + quote + outputFileName + quote;
}

QString posixQuoted(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1String("'"), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString posixLine(const QString &enginePath, const QString &commandFileName, const QString &outputFileName)
{
    // exec makes the started process the engine itself, so its end is the
    // run's end. A relative engine path gets "./" so that sh never searches
    // PATH for it and never reads a leading "-" as an option of exec. The
    // shell reads this script on its standard input, which the engine must
    // not inherit.
    QString engine = enginePath;
    if (!engine.startsWith(QLatin1Char('/')))
        engine.prepend(QLatin1String("./"));
    return QLatin1String("exec ") + posixQuoted(engine) + QLatin1String(" cf=") +
           posixQuoted(commandFileName) + QLatin1String(" >") + posixQuoted(outputFileName) +
           QLatin1String(" </dev/null");
}

QString scriptText(Shell shell, const QString &enginePath, const QString &commandFileName,
                   const QString &outputFileName)
{
    if (shell == Shell::WindowsCmd)
        return windowsLine(enginePath, commandFileName, outputFileName) + QLatin1String("\r\n");
    return posixLine(enginePath, commandFileName, outputFileName) + QLatin1Char('\n');
}

QByteArray scriptBytes(Shell shell, const QString &enginePath, const QString &commandFileName,
                       const QString &outputFileName)
{
    const QString text = scriptText(shell, enginePath, commandFileName, outputFileName);
    return shell == Shell::WindowsCmd ? text.toLocal8Bit() : QFile::encodeName(text);
}

} // namespace LaunchScript
