#include "core/FileRoutes.h"

#include "core/PathHelpers.h"

namespace FileRoutes {

TargetWindow windowForFile(const QString &path, const QString &commandExt, const QString &outputExt)
{
    const QString ext = Paths::asciiLower(Paths::extension(path));
    if (!commandExt.isEmpty() && ext == Paths::asciiLower(commandExt))
        return TargetWindow::Command;
    if (!outputExt.isEmpty() && ext == Paths::asciiLower(outputExt))
        return TargetWindow::Output;
    return TargetWindow::Another;
}

} // namespace FileRoutes
