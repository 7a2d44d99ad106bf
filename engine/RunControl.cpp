#include "engine/RunControl.h"

#include "core/PathHelpers.h"
#include "core/UserDialogs.h"
#include "documents/EditorWindow.h"

#include <QDir>

const QString RunControl::ExecuteTitle = QStringLiteral("Execute");

RunControl::RunControl(const RunContext &context, QObject *parent) : QObject(parent), m_context(context)
{}

bool RunControl::checkEnginePath()
{
    if (Paths::fileExists(m_context.settings.EnginePath))
        return true;
    m_context.dialogs.error(
        m_context.dialogParent, ExecuteTitle,
        QStringLiteral("Cannot find executable Quelm File. Please change the Preferences."));
    return false;
}

void RunControl::reportCannotExecute()
{
    m_context.dialogs.error(m_context.dialogParent, ExecuteTitle, QStringLiteral("Cannot execute Quelm."));
    emit statusChanged(QStringLiteral("Error while trying to execute Quelm"));
}

void RunControl::enterFolderOf(const QString &path)
{
    const QString folder = Paths::directoryPart(path);
    if (!folder.isEmpty())
        QDir::setCurrent(folder);
}

bool RunControl::showFile(TEditForm &window, const QString &path, const QString &captionPrefix)
{
    if (!window.guarded([&] { window.LoadFile(path); }))
        return false;
    window.setCaption(captionPrefix + path);
    window.bringToFront();
    return true;
}
