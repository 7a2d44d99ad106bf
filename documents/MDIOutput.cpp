#include "documents/MDIOutput.h"

#include "documents/FileFilters.h"

namespace {

EditorKind outputKind()
{
    EditorKind kind;
    kind.designCaption = QStringLiteral("OUTPUT");
    kind.untitledCaption = Captions::Output + Captions::Untitled;
    kind.designSize = QSize(657, 394);
    kind.scrollBarsAlwaysOn = true;
    kind.saveAsPrefix = Captions::OutputSavedAs;
    kind.saveAsRecordsHistory = true;
    kind.openHint = QStringLiteral("Open Output File|");
    kind.saveHint = QStringLiteral("Save Output File|");
    kind.printHint = QStringLiteral("Print Output File|");
    kind.hasFileCombo = true;
    kind.fileComboOnToolBar = false;
    kind.fileComboRows = 15;
    kind.runWritesFile = true;
    return kind;
}

} // namespace

TOutputEditForm::TOutputEditForm(const WindowServices &services, QWidget *parent)
    : TEditForm(outputKind(), services, parent)
{
    addOpenButton(m_fileMenu.openOutput);
}
