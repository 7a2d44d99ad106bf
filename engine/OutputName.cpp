#include "engine/OutputName.h"

namespace Engine {

QString outputFileName(const QString &commandFileName, const QString &outputExtension,
                       const QString &separators)
{
    return Paths::changeExtension(commandFileName, outputExtension, separators);
}

} // namespace Engine
