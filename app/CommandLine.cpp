#include "app/CommandLine.h"

#include "app/Version.h"
#include "core/FileNames.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>

#include <climits>
#include <optional>

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

// A line or column: digits only. Too many digits for the count mean the
// end of the file, and 0 means the first.
std::optional<int> placeNumber(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value > INT_MAX)
        return INT_MAX;
    return std::max(1, int(value));
}

// "+LINE": the line of the file named next.
std::optional<int> plusLine(const QString &word)
{
    if (!word.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return placeNumber(QStringView(word).mid(1));
}

// The existing file that word names, with the place it gives after the name:
// the word whole first, then without ":LINE", then without ":LINE:COLUMN".
// A ":" after the numbers, as compilers write it, is left out.
std::optional<FileAtLine> namedFile(const QString &word, const std::function<bool(const QString &)> &exists)
{
    if (exists(word))
        return FileAtLine{word};
    QStringView rest(word);
    if (rest.endsWith(QLatin1Char(':')))
        rest.chop(1);
    const qsizetype lineColon = rest.lastIndexOf(QLatin1Char(':'));
    const std::optional<int> last = placeNumber(rest.mid(lineColon + 1));
    if (lineColon <= 0 || !last)
        return std::nullopt;
    const QString name = rest.left(lineColon).toString();
    if (exists(name))
        return FileAtLine{name, *last};
    const qsizetype columnColon = name.lastIndexOf(QLatin1Char(':'));
    const std::optional<int> line = placeNumber(QStringView(name).mid(columnColon + 1));
    if (columnColon <= 0 || !line)
        return std::nullopt;
    const QString shorter = name.left(columnColon);
    if (exists(shorter))
        return FileAtLine{shorter, *line, *last};
    return std::nullopt;
}

} // namespace

FilesAtLines filesAtLines(const QStringList &words, const std::function<bool(const QString &)> &exists,
                          qsizetype namesFrom)
{
    FilesAtLines files;
    // The line a "+LINE" before it gives the next file; 0 when none.
    int nextLine = 0;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString &word = words.at(i);
        const bool nameOnly = namesFrom >= 0 && i >= namesFrom;
        const std::optional<int> line = nameOnly ? std::nullopt : plusLine(word);
        // "+3" before a file is that file's line; at the end it can only be a name.
        if (line && i + 1 < words.size()) {
            nextLine = *line;
            continue;
        }
        std::optional<FileAtLine> file = nameOnly
                                             ? (exists(word) ? std::optional(FileAtLine{word}) : std::nullopt)
                                             : namedFile(word, exists);
        if (file && file->line == 0)
            file->line = nextLine;
        nextLine = 0;
        if (file)
            files.append(*file);
    }
    return files;
}

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
    const QCommandLineOption newInstance(
        QStringLiteral("new-instance"),
        QStringLiteral("Start a program of its own, even while Ostrel runs in this desktop session."));
    const QCommandLineOption noSession(
        QStringLiteral("no-session"),
        QStringLiteral("Do not bring back the windows open at the last end (nor remember these)."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(newInstance);
    parser.addOption(noSession);
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("Files to open. FILE:LINE, FILE:LINE:COLUMN and +LINE FILE\n"
                       "show that line in the middle of the window, the caret on it.\n"
                       "While Ostrel runs, the files open in that program."),
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
    const qsizetype endOfOptions = arguments.indexOf(QStringLiteral("--"), 1);
    if (endOfOptions > 0)
        outcome.namesFrom =
            std::max<qsizetype>(0, outcome.files.size() - (arguments.size() - endOfOptions - 1));
    outcome.newInstance = parser.isSet(newInstance);
    outcome.restoreSession = !parser.isSet(noSession);
    return outcome;
}

QStringList nativeArguments(int argc, const char *const *argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(FileNames::fromNative(QByteArray(argv[i])));
    return arguments;
}
