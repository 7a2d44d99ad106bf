#include "documents/MDICommand.h"

#include "documents/FileFilters.h"

namespace {

EditorKind commandKind()
{
    EditorKind kind;
    kind.designCaption = QStringLiteral("COMMAND");
    kind.untitledCaption = Captions::Command + Captions::Untitled;
    kind.designSize = QSize(541, 335);
    kind.tabInserts = true;
    kind.saveAsPrefix = Captions::Command;
    kind.saveAsRecordsHistory = true;
    kind.openHint = QStringLiteral("Open Command File|");
    kind.saveHint = QStringLiteral("Save Command File|");
    kind.printHint = QStringLiteral("Print Command File");
    kind.hasFileCombo = true;
    kind.hasOpenMaster = true;
    kind.knowsKeyWords = true;
    kind.fileComboRows = 20;
    return kind;
}

} // namespace

TCommandEditForm::TCommandEditForm(const WindowServices &services, const RunCommands &run, QWidget *parent)
    : TEditForm(commandKind(), services, parent)
{
    addOpenButton(m_fileMenu.openCommand);
    addRunButton(run.run);
    addStopButton(run.stop);
}
