#include "documents/MDIAnother.h"

#include "core/FrameState.h"
#include "documents/FileFilters.h"
#include "editor/TextEditor.h"

#include <QAction>

namespace {

EditorKind anotherKind()
{
    EditorKind kind;
    kind.designCaption = QStringLiteral("ANOTHER");
    kind.untitledCaption = kind.designCaption;
    kind.designSize = QSize(657, 394);
    kind.saveAsPrefix = Captions::AnotherSavedAs;
    kind.openHint = QStringLiteral("Open File in this Window|");
    kind.saveHint = QStringLiteral("Save this File|");
    kind.printHint = QStringLiteral("Print this File");
    return kind;
}

} // namespace

TAnotherEditForm::TAnotherEditForm(const WindowServices &services, QWidget *parent)
    : TEditForm(anotherKind(), services, parent)
{
    SaveFileDialog = FileFilters::plainTextSaveRequest();
    setAttribute(Qt::WA_DeleteOnClose);
    auto *openThis = new QAction(QStringLiteral("Open File in this Window"), this);
    openThis->setObjectName(QStringLiteral("OpenThis1"));
    connect(openThis, &QAction::triggered, this, &TAnotherEditForm::OpenThisClick);
    addOpenButton(openThis);
}

void TAnotherEditForm::OpenThisClick()
{
    if (askToSave(QStringLiteral("Save changes to current file?")) == SaveOutcome::Cancelled)
        return;
    const ProgramSettings &settings = services().settings;
    const UserDialogs::FileRequest request{
        QStringLiteral("Open Another File"),
        FileFilters::anotherFilter(settings.CommandFileExtension, settings.OutputFileExtension),
        QStringLiteral(".txt"), QString()};
    const std::optional<QString> chosen = services().dialogs.openFile(this, request);
    if (!chosen || chosen->isEmpty())
        return;
    if (!tryLoadFile(*chosen))
        return;
    setCaption(Captions::Other + *chosen);
    bringToFront();
    editor()->update();
}
