#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The program writes its file-type filters as "label|mask;mask|label|mask":
// a list of choices, each a description and a pattern of masks. The texts
// themselves belong to the windows that show them; these read the form.
namespace FileFilters {

struct Choice
{
    QString label;
    QStringList masks;
};

// The choices of a filter, in order; a pattern's masks are split at ";".
QList<Choice> parse(const QString &filter);

// Qt's form of a filter: "label (mask mask);;label (mask)".
QString toQtFilter(const QString &filter);

} // namespace FileFilters
