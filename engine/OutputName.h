#pragma once

#include "core/PathHelpers.h"

#include <QString>

namespace Engine {

// The file a run writes its results to: the command file with its extension
// replaced by outputExtension (dot included), or with outputExtension appended
// when the command file has none. A dot in a folder name is not an extension.
QString outputFileName(const QString &commandFileName, const QString &outputExtension,
                       const QString &separators = Paths::platformSeparators());

} // namespace Engine
