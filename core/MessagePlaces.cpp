#include "core/MessagePlaces.h"

#include "core/PathHelpers.h"
#include "core/UserSettings.h"

#include <QDir>

namespace {

const QString PatternsKey = QStringLiteral("Messages/Patterns");

// A drive letter may stand before a path that compilers on Windows name.
const QString FileGroup = QStringLiteral(R"((?<file>(?:[A-Za-z]:[\\/])?[^:()\r\n]+))");

// The forms engines commonly use, most specific first: the two that need a
// colon, then "line N".
const std::vector<QRegularExpression> &builtInForms()
{
    static const std::vector<QRegularExpression> forms = [] {
        std::vector<QRegularExpression> made{
            // file:line: and file:line:column:
            QRegularExpression(QStringLiteral(R"(^\s*%1:(?<line>\d+):(?:(?<column>\d+):)?\s*(?<message>.*)$)")
                                   .arg(FileGroup)),
            // file(line): and file(line,column):
            QRegularExpression(
                QStringLiteral(R"(^\s*%1\((?<line>\d+)(?:,\s*(?<column>\d+))?\)\s*:\s*(?<message>.*)$)")
                    .arg(FileGroup)),
            // A line of the command file run.
            QRegularExpression(
                QStringLiteral(R"(\bline\s+(?<line>\d+)(?:\s*,\s*col(?:umn)?\s+(?<column>\d+))?\b)"),
                QRegularExpression::CaseInsensitiveOption),
        };
        for (QRegularExpression &form : made)
            form.optimize();
        return made;
    }();
    return forms;
}

// A time of day (12:30:45) or a date before one reads like file:line:, but
// a file's name has a letter or a sign beyond digits, blanks and dashes.
bool looksLikeFileName(const QString &name)
{
    for (const QChar c : name) {
        if (!c.isDigit() && !c.isSpace() && c != QLatin1Char('-') && c != QLatin1Char('.'))
            return true;
    }
    return false;
}

// Whether the text holds "line" in any case: a plain scan, since Qt's search
// for a word, and more so without regard to case, costs several times as much
// on lines this short.
bool mentionsLine(QStringView text)
{
    const char16_t *c = text.utf16();
    for (qsizetype i = 0; i + 4 <= text.size(); ++i) {
        if ((c[i] | 0x20) == u'l' && (c[i + 1] | 0x20) == u'i' && (c[i + 2] | 0x20) == u'n' &&
            (c[i + 3] | 0x20) == u'e')
            return true;
    }
    return false;
}

std::optional<MessagePlace> placeOf(const QRegularExpressionMatch &match, const QString &text)
{
    if (!match.hasMatch())
        return std::nullopt;
    MessagePlace place;
    bool ok = false;
    place.line = match.captured(QStringLiteral("line")).toInt(&ok);
    if (!ok || place.line <= 0)
        return std::nullopt;
    place.column = match.captured(QStringLiteral("column")).toInt();
    place.file = match.captured(QStringLiteral("file")).trimmed();
    if (!place.file.isEmpty() && !looksLikeFileName(place.file))
        return std::nullopt;
    place.message = match.captured(QStringLiteral("message")).trimmed();
    if (place.message.isEmpty())
        place.message = text.trimmed();
    return place;
}

} // namespace

MessagePatterns::MessagePatterns(const QStringList &userPatterns)
{
    for (const QString &pattern : userPatterns) {
        if (!problemWith(pattern).isEmpty())
            continue;
        m_user.emplace_back(pattern);
        m_user.back().optimize();
    }
}

std::optional<MessagePlace> MessagePatterns::find(const QString &text) const
{
    for (const QRegularExpression &pattern : m_user) {
        if (auto place = placeOf(pattern.match(text), text))
            return place;
    }
    // Most lines of an output are results: a look for the characters every
    // form needs spares them the regular expressions.
    const std::vector<QRegularExpression> &forms = builtInForms();
    if (text.contains(QLatin1Char(':'))) {
        for (std::size_t form = 0; form < 2; ++form) {
            if (auto place = placeOf(forms.at(form).match(text), text))
                return place;
        }
    }
    if (mentionsLine(text))
        return placeOf(forms.at(2).match(text), text);
    return std::nullopt;
}

QString MessagePatterns::problemWith(const QString &pattern)
{
    const QRegularExpression expression(pattern);
    if (!expression.isValid())
        return QStringLiteral("Not a regular expression: %1 at character %2.")
            .arg(expression.errorString())
            .arg(expression.patternErrorOffset() + 1);
    if (!expression.namedCaptureGroups().contains(QStringLiteral("line")))
        return QStringLiteral("The pattern has no group named line, as in (?<line>\\d+).");
    return QString();
}

QStringList MessagePatterns::stored()
{
    return userSettings().value(PatternsKey).toStringList();
}

void MessagePatterns::store(const QStringList &patterns)
{
    QSettings settings = userSettings();
    if (patterns.isEmpty())
        settings.remove(PatternsKey);
    else
        settings.setValue(PatternsKey, patterns);
}

QString placeFilePath(const MessagePlace &place, const QString &commandFile)
{
    if (place.file.isEmpty())
        return commandFile;
    const QString folder = commandFile.isEmpty() ? QDir::currentPath() : Paths::directoryPart(commandFile);
    return Paths::absolutePath(place.file, folder);
}
