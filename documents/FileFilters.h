#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The file-type filters of the open and save dialogs and the explorer, in the
// "label|mask;mask|label|mask" form, built from the configured extensions
// (each with its dot).
namespace FileFilters {

QString commandFilter(const QString &commandExt);
QString outputFilter(const QString &outputExt);
QString anotherFilter(const QString &commandExt, const QString &outputExt);
QString explorerFilter(const QString &commandExt, const QString &outputExt);
QString masterFilter();
QString plainTextFilter();

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

// The prefixes that stand before a path in the editor windows' captions.
namespace Captions {
inline const QString Command = QStringLiteral("COMMAND - ");
inline const QString Output = QStringLiteral("OUTPUT - ");
inline const QString OutputSavedAs = QStringLiteral("Output - ");
inline const QString Master = QStringLiteral("MASTER - ");
inline const QString Other = QStringLiteral("Other - ");
inline const QString AnotherSavedAs = QStringLiteral("ANOTHER - ");
inline const QString Untitled = QStringLiteral("[Untitled]");
} // namespace Captions
