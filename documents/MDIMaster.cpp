#include "documents/MDIMaster.h"

#include "documents/FileFilters.h"

#include <QAction>

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
    kind.hasFileCombo = true;
    kind.hasOpenMaster = true;
    kind.knowsKeyWords = true;
    return kind;
}

} // namespace

TMasterEditForm::TMasterEditForm(const WindowServices &services, QAction *submit, QWidget *parent)
    : TEditForm(masterKind(), services, parent)
{
    SaveFileDialog = FileFilters::plainTextSaveRequest();
    setAttribute(Qt::WA_DeleteOnClose);
    // The master window's open button opens a command file, not a master file.
    addOpenButton(m_fileMenu.openCommand);
    auto *runMaster = new QAction(QStringLiteral("Execute Master File"), this);
    runMaster->setObjectName(QStringLiteral("RunMaster1"));
    connect(runMaster, &QAction::triggered, this, &TChildForm::runMasterClicked);
    addRunButton(runMaster);
    if (submit)
        addSubmitButton(submit);
}
