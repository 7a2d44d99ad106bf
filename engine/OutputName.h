#pragma once

#include "core/PathHelpers.h"

#include <QString>

namespace Engine {

// The file a run writes its results to: the command file with its extension
// replaced by outputExtension (dot included), or with outputExtension appended
// when the command file has none. A dot in a folder name is not an extension.
QString outputFileName(const QString &commandFileName, const QString &outputExtension,
                       const QString &separators = Paths::platformSeparators());

// Whether the output file is the command file itself (the same name, or the
// same file reached through a link), so that the redirection would empty the
// command file before the engine reads it.
bool outputIsCommandFile(const QString &commandFileName, const QString &outputFileName);

// One key for every path that leads to the same file, existing or not (its
// folder must exist for links to be followed): two runs whose command or
// output files have the same key must not run at the same time.
QString fileKey(const QString &path);

// Opens the output file for writing, creating it when missing but leaving an
// existing one as it is; throws FileError "Cannot create file %s" when that
// fails, so that a run never shows an old output as its results.
void checkOutputWritable(const QString &outputFileName);

} // namespace Engine
