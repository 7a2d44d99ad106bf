#include "app/CommandLine.h"

#include "app/Version.h"
#include "core/FileNames.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>

namespace {

// Qt's own options, which QApplication takes out of the arguments later: they
// must not count as unknown here. The first group takes a value.
const char *const QtValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qmljsdebugger", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",      "style",
    "stylesheet"};
const char *const QtFlagOptions[] = {"reverse", "widgetcount"};

void addHidden(QCommandLineParser &parser, const QString &name, const QString &valueName = QString())
{
    QCommandLineOption option(name);
    if (!valueName.isEmpty())
        option.setValueName(valueName);
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
}

QString programName(const QStringList &arguments)
{
    return arguments.isEmpty() ? QStringLiteral("ostrel") : QFileInfo(arguments.first()).fileName();
}

// Qt's help text names the program by QCoreApplication's arguments, which do
// not exist yet; the usage line is therefore our own.
QString helpText(const QCommandLineParser &parser, const QString &program)
{
    QString text = parser.helpText();
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    return QStringLiteral("Usage: %1 [options] [file]").arg(program) + text.mid(lineEnd);
}

} // namespace

QString versionText()
{
    return QStringLiteral("Ostrel " OSTREL_VERSION "\n"
                          "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
                          "This is free software: you are free to change and redistribute it.\n"
                          "There is NO WARRANTY, to the extent permitted by law.\n");
}

CommandLineOutcome parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    // Qt's options are single-dash words (-platform, -style); -h and -v still work.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Ostrel, the desktop front end for the Quelm calculation engine.\n"
                       "A command file (.cf) opens in the command window, an output file (.out)\n"
                       "in the output window, any other file in a window of its own."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A file to open at start-up."),
                                 QStringLiteral("[file]"));
    for (const char *name : QtValueOptions)
        addHidden(parser, QLatin1String(name), QStringLiteral("value"));
    for (const char *name : QtFlagOptions)
        addHidden(parser, QLatin1String(name));

    CommandLineOutcome outcome;
    const QString program = programName(arguments);
    if (!parser.parse(arguments)) {
        outcome.startWindow = false;
        outcome.exitCode = 2;
        outcome.standardError = QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n")
                                    .arg(program, parser.errorText());
        return outcome;
    }
    if (parser.isSet(help)) {
        outcome.startWindow = false;
        outcome.standardOutput = helpText(parser, program);
        return outcome;
    }
    if (parser.isSet(version)) {
        outcome.startWindow = false;
        outcome.standardOutput = versionText();
        return outcome;
    }
    outcome.files = parser.positionalArguments();
    return outcome;
}

QStringList nativeArguments(int argc, const char *const *argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(FileNames::fromNative(QByteArray(argv[i])));
    return arguments;
}
