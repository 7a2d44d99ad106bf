#pragma once

#include "core/MessagePlaces.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The messages of a run that name places, as they are read from the Run Log
// and from the output window once the run has ended.
namespace RunMessages {

// The command file a Run Log line introduces: an entry's header or the line
// that continues an entry after another run's lines.
std::optional<QString> commandFileOfHeader(const QString &line);

// The messages among Run Log lines; each belongs to the entry whose header
// comes before it (commandFile for lines before the first header). At most
// `limit` are taken.
std::vector<LocatedMessage> inRunLog(const QStringList &lines, const MessagePatterns &patterns,
                                     const QString &commandFile, int limit);

// The messages among the lines of a run's output, of the run of commandFile.
std::vector<LocatedMessage> inOutput(const QStringList &lines, const MessagePatterns &patterns,
                                     const QString &commandFile, int limit);

} // namespace RunMessages
