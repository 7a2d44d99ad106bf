#include "core/FilterSyntax.h"

namespace FileFilters {

QList<Choice> parse(const QString &filter)
{
    const QStringList pieces = filter.split(QLatin1Char('|'));
    QList<Choice> choices;
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2)
        choices.append({pieces.at(i), pieces.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)});
    return choices;
}

QString toQtFilter(const QString &filter)
{
    QStringList parts;
    for (const Choice &choice : parse(filter)) {
        QStringList masks = choice.masks;
        // Qt reads "*.*" as names with a dot; the program means every file.
        masks.replaceInStrings(QStringLiteral("*.*"), QStringLiteral("*"));
        // Qt takes a filter's masks from its last parentheses, so a label
        // with brackets of its own stays as it is.
        parts.append(choice.label + QStringLiteral(" (") + masks.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return parts.join(QStringLiteral(";;"));
}

} // namespace FileFilters
