#include "documents/MDIMaster.h"

#include "documents/FileFilters.h"

namespace {

EditorKind masterKind()
{
    EditorKind kind;
    kind.designCaption = QStringLiteral("MASTER");
    kind.untitledCaption = kind.designCaption;
    kind.designSize = QSize(657, 394);
    kind.saveAsPrefix = Captions::Master;
    kind.openHint = QStringLiteral("Open MasterFile|");
    kind.saveHint = QStringLiteral("Save Master File|");
    kind.printHint = QStringLiteral("Print Master File");
    kind.hasRunButton = true;
    kind.hasFileCombo = true;
    kind.hasOpenMaster = true;
    return kind;
}

} // namespace

TMasterEditForm::TMasterEditForm(const WindowServices &services, QWidget *parent)
    : TEditForm(masterKind(), services, parent)
{
    SaveFileDialog = FileFilters::plainTextSaveRequest();
    setAttribute(Qt::WA_DeleteOnClose);
}

void TMasterEditForm::OpenButtonClick()
{
    // The master window's open button opens a command file, not a master file.
    emit openCommandClicked();
}

void TMasterEditForm::RunButtonClick()
{
    emit runMasterClicked();
}
