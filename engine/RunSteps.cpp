#include "engine/RunSteps.h"

#include "app/MDIFrame.h"
#include "app/PathHelpers.h"
#include "documents/EditorWindow.h"

#include <QDir>

namespace RunSteps {

bool checkEnginePath(TFrameForm &frame)
{
    if (Paths::fileExists(frame.EnginePath))
        return true;
    frame.dialogs().error(
        &frame, ExecuteTitle,
        QStringLiteral("Cannot find executable Quelm File. Please change the Preferences."));
    return false;
}

void reportCannotExecute(TFrameForm &frame)
{
    frame.dialogs().error(&frame, ExecuteTitle, QStringLiteral("Cannot execute Quelm."));
    frame.setStatusText(QStringLiteral("Error while trying to execute Quelm"));
}

void enterFolderOf(const QString &path)
{
    const QString folder = Paths::directoryPart(path);
    if (!folder.isEmpty())
        QDir::setCurrent(folder);
}

bool showFile(TFrameForm &frame, TEditForm &window, const QString &path, const QString &captionPrefix)
{
    if (!frame.guarded([&] { window.LoadFile(path); }))
        return false;
    window.setCaption(captionPrefix + path);
    window.bringToFront();
    return true;
}

} // namespace RunSteps
