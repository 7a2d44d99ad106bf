// The four editor window kinds: what each adds to the common editor window.
#include "app/MDIFrame.h"
#include "documents/FileFilters.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "documents/TextEditor.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QToolButton>

namespace {

EditorKind commandKind()
{
    EditorKind kind;
    kind.designCaption = QStringLiteral("COMMAND");
    kind.designSize = QSize(541, 335);
    kind.tabInserts = true;
    kind.saveAsPrefix = Captions::Command;
    kind.openHint = QStringLiteral("Open Command File|");
    kind.saveHint = QStringLiteral("Save Command File|");
    kind.printHint = QStringLiteral("Print Command File");
    kind.hasRunButton = true;
    kind.hasFileCombo = true;
    kind.hasOpenMaster = true;
    kind.fileComboRows = 20;
    return kind;
}

EditorKind outputKind()
{
    EditorKind kind;
    kind.designCaption = QStringLiteral("OUTPUT");
    kind.designSize = QSize(657, 394);
    kind.scrollBarsAlwaysOn = true;
    kind.saveAsPrefix = Captions::OutputSavedAs;
    kind.openHint = QStringLiteral("Open Output File|");
    kind.saveHint = QStringLiteral("Save Output File|");
    kind.printHint = QStringLiteral("Print Output File|");
    kind.hasFileCombo = true;
    kind.fileComboOnToolBar = false;
    kind.fileComboRows = 15;
    return kind;
}

EditorKind masterKind()
{
    EditorKind kind;
    kind.designCaption = QStringLiteral("MASTER");
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

EditorKind anotherKind()
{
    EditorKind kind;
    kind.designCaption = QStringLiteral("ANOTHER");
    kind.designSize = QSize(657, 394);
    kind.saveAsPrefix = Captions::AnotherSavedAs;
    kind.openHint = QStringLiteral("Open File in this Window|");
    kind.saveHint = QStringLiteral("Save this File|");
    kind.printHint = QStringLiteral("Print this File");
    return kind;
}

UserDialogs::FileRequest plainTextSaveDialog()
{
    return {QString(), FileFilters::plainTextFilter(), QStringLiteral(".txt"), QString()};
}

// Saving the command or output window under a new name: the frame's file name
// and the history follow, and an open explorer shows the new folder.
void recordSavedAs(TEditForm &window, QString &frameFileName)
{
    frameFileName = window.FileName;
    QComboBox *history = window.fileCombo();
    history->blockSignals(true);
    history->insertItem(0, window.FileName);
    history->setCurrentIndex(0);
    history->blockSignals(false);
    FrameForm->followCurrentDirectory(true);
}

} // namespace

// Command window

TCommandEditForm::TCommandEditForm(QWidget *parent) : TEditForm(commandKind(), parent)
{
    connect(fileCombo(), &QComboBox::activated, this, [] { FrameForm->CommandFileComboChanged(); });
}

void TCommandEditForm::makeUntitled()
{
    FileName = UntitledName;
    clearText();
    setCaption(Captions::Command + Captions::Untitled);
}

QList<QObject *> TCommandEditForm::lockedDuringRun() const
{
    return {m_runButton,   fileCombo(),  m_save,       m_saveAs,      m_saveButton,
            m_openCommand, m_openOutput, m_openButton, m_printButton, m_print};
}

void TCommandEditForm::OpenButtonClick()
{
    FrameForm->OpenCommandClick();
}

void TCommandEditForm::RunButtonClick()
{
    FrameForm->ExecQuelm();
}

void TCommandEditForm::afterSaveAs()
{
    recordSavedAs(*this, FrameForm->CommandFileName);
}

void TCommandEditForm::FormClose(QCloseEvent *event)
{
    // The command window lives as long as the frame.
    event->ignore();
}

// Output window

TOutputEditForm::TOutputEditForm(QWidget *parent) : TEditForm(outputKind(), parent)
{
    connect(fileCombo(), &QComboBox::activated, this, [] { FrameForm->OutputFileComboChanged(); });
}

void TOutputEditForm::makeUntitled()
{
    FileName = UntitledName;
    clearText();
    setCaption(Captions::Output + Captions::Untitled);
}

QList<QObject *> TOutputEditForm::lockedDuringRun() const
{
    return {fileCombo(),   m_save,       m_saveAs,      m_saveButton, m_openOutput,
            m_openCommand, m_openButton, m_printButton, m_print};
}

void TOutputEditForm::OpenButtonClick()
{
    FrameForm->OpenOutputClick();
}

void TOutputEditForm::afterSaveAs()
{
    recordSavedAs(*this, FrameForm->OutputFileName);
}

void TOutputEditForm::FormClose(QCloseEvent *event)
{
    event->ignore();
}

// Master window

TMasterEditForm::TMasterEditForm(QWidget *parent) : TEditForm(masterKind(), parent)
{
    SaveFileDialog = plainTextSaveDialog();
    setAttribute(Qt::WA_DeleteOnClose);
}

void TMasterEditForm::OpenButtonClick()
{
    FrameForm->OpenCommandClick();
}

void TMasterEditForm::RunButtonClick()
{
    FrameForm->ExecMaster();
}

void TMasterEditForm::FormClose(QCloseEvent *event)
{
    event->accept();
    FrameForm->masterWindowClosed();
}

// Other-file window

TAnotherEditForm::TAnotherEditForm(QWidget *parent) : TEditForm(anotherKind(), parent)
{
    SaveFileDialog = plainTextSaveDialog();
    setAttribute(Qt::WA_DeleteOnClose);
}

void TAnotherEditForm::OpenThisClick()
{
    if (!askToSave(QStringLiteral("Save changes to current file?")))
        return;
    const UserDialogs::FileRequest request{
        QStringLiteral("Open Another File"),
        FileFilters::anotherFilter(FrameForm->CommandFileExtension, FrameForm->OutputFileExtension),
        QStringLiteral(".txt"), QString()};
    const std::optional<QString> chosen = FrameForm->dialogs().openFile(this, request);
    if (!chosen || chosen->isEmpty())
        return;
    FrameForm->guarded([this, &chosen] {
        LoadFile(*chosen);
        setCaption(Captions::Other + *chosen);
        bringToFront();
        editor()->update();
    });
}

void TAnotherEditForm::FormClose(QCloseEvent *event)
{
    event->accept();
    FrameForm->anotherWindowClosed(this);
}
