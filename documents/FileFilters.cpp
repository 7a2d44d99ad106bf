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

UserDialogs::FileRequest plainTextSaveRequest()
{
    return {QString(), plainTextFilter(), QStringLiteral(".txt"), QString()};
}

} // namespace FileFilters
