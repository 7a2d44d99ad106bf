#include "search/GoToLine.h"

#include <QStringList>

namespace GoToLine {

namespace {

std::optional<int> positiveNumber(const QString &text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return std::nullopt;
    for (const QChar c : digits) {
        // Only ASCII digits: toInt() would also take a sign.
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const int number = digits.toInt(&ok);
    if (!ok || number < 1)
        return std::nullopt;
    return number;
}

} // namespace

std::optional<Target> parse(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() > 2)
        return std::nullopt;
    const std::optional<int> line = positiveNumber(parts.at(0));
    if (!line)
        return std::nullopt;
    if (parts.size() == 1)
        return Target{*line, 0};
    const std::optional<int> column = positiveNumber(parts.at(1));
    if (!column)
        return std::nullopt;
    return Target{*line, *column};
}

} // namespace GoToLine
