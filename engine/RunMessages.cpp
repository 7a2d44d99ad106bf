#include "engine/RunMessages.h"

#include <QRegularExpression>

namespace RunMessages {

namespace {

void addFound(std::vector<LocatedMessage> &found, const MessagePatterns &patterns, const QString &line,
              const QString &commandFile)
{
    const std::optional<MessagePlace> place = patterns.find(line);
    if (!place)
        return;
    found.push_back({placeFilePath(*place, commandFile), place->line, place->column, place->message});
}

} // namespace

std::optional<QString> commandFileOfHeader(const QString &line)
{
    // The forms of RunLog::headerLine and RunLog::continuedLine.
    static const QRegularExpression header(QStringLiteral(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d  (.+)$)"));
    static const QRegularExpression continued(QStringLiteral(R"(^\((.+), continued\)$)"));
    for (const QRegularExpression *form : {&header, &continued}) {
        const QRegularExpressionMatch match = form->match(line);
        if (match.hasMatch())
            return match.captured(1);
    }
    return std::nullopt;
}

std::vector<LocatedMessage> inRunLog(const QStringList &lines, const MessagePatterns &patterns,
                                     const QString &commandFile, int limit)
{
    std::vector<LocatedMessage> found;
    QString entryFile = commandFile;
    for (const QString &line : lines) {
        if (int(found.size()) >= limit)
            break;
        if (const std::optional<QString> file = commandFileOfHeader(line))
            entryFile = *file;
        else
            addFound(found, patterns, line, entryFile);
    }
    return found;
}

std::vector<LocatedMessage> inOutput(const QStringList &lines, const MessagePatterns &patterns,
                                     const QString &commandFile, int limit)
{
    std::vector<LocatedMessage> found;
    for (const QString &line : lines) {
        if (int(found.size()) >= limit)
            break;
        addFound(found, patterns, line, commandFile);
    }
    return found;
}

} // namespace RunMessages
