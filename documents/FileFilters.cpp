#include "documents/FileFilters.h"

namespace FileFilters {

QString commandFilter(const QString &c)
{
    return QStringLiteral("Command Files [") + c + QStringLiteral("]|*") + c;
}

QString outputFilter(const QString &o)
{
    return QStringLiteral("Output Files [") + o + QStringLiteral("]|*") + o;
}

QString anotherFilter(const QString &c, const QString &o)
{
    return QStringLiteral("Quelm and Text Files [") + c + QLatin1Char(',') + o + QStringLiteral(",.txt]|*") +
           c + QStringLiteral(";*") + o +
           QStringLiteral(";*.txt|Text Files [.txt]|*.txt|All Files [*.*]|*.*");
}

QString explorerFilter(const QString &c, const QString &o)
{
    return commandFilter(c) + QStringLiteral("|Quelm Files [") + c + QLatin1Char(',') + o +
           QStringLiteral("]|*") + c + QStringLiteral(";*") + o + QLatin1Char('|') + outputFilter(o) +
           QStringLiteral("|All Files [*.*]|*.*");
}

QString masterFilter()
{
    return QStringLiteral("Output Files [.mst]|*.mst");
}

QString plainTextFilter()
{
    return QStringLiteral("Test Files [.txt]|*.txt|All Files [*.*]|*.*");
}

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
