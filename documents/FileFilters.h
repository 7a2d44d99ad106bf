#pragma once

#include "core/FilterSyntax.h"
#include "ui/UserDialogs.h"

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

// The save dialog of the master and other-file windows: the plain-text
// filter, no title of its own, ".txt" added to a bare name.
UserDialogs::FileRequest plainTextSaveRequest();

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
