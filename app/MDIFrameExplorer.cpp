// The frame's side of the directory explorer: creating and closing it, and
// keeping it on the process's current folder.
#include "app/MDIFrame.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "documents/TextPrinter.h"
#include "explorer/MDIExplorer.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

void TFrameForm::createExplorer()
{
    auto *explorer = new TExplorerForm(m_dialogs, CommandFileExtension, OutputFileExtension);
    ExplorerWindow = explorer;
    ExplorerWindowOpen = true;
    m_viewCurrentDir->setChecked(true);
    connect(explorer, &QObject::destroyed, this, [this] {
        ExplorerWindowOpen = false;
        m_viewCurrentDir->setChecked(false);
    });

    connect(explorer, &TExplorerForm::openCommandRequested, this, [this](const QString &path) {
        openFromExplorer(*CommandWindow, QStringLiteral("Save changes to current command file?"),
                         &TFrameForm::OpenCommand, path);
    });
    connect(explorer, &TExplorerForm::openOutputRequested, this, [this](const QString &path) {
        openFromExplorer(*OutputWindow, QStringLiteral("Save changes to current output file?"),
                         &TFrameForm::OpenOutput, path);
    });
    connect(explorer, &TExplorerForm::openAnotherRequested, this, &TFrameForm::OpenAnother);
    connect(explorer, &TExplorerForm::openCommandClicked, this, &TFrameForm::OpenCommandClick);
    connect(explorer, &TExplorerForm::openOutputClicked, this, &TFrameForm::OpenOutputClick);
    connect(explorer, &TExplorerForm::openAnotherClicked, this, &TFrameForm::OpenAnotherClick);
    connect(explorer, &TExplorerForm::printerSetupClicked, this,
            [this] { RunPrinterSetup(this, m_dialogs, printer()); });
    connect(explorer, &TExplorerForm::preferencesClicked, this, &TFrameForm::PreferencesClick);
    connect(explorer, &TExplorerForm::exitClicked, this, &TFrameForm::ExitClick);
    connect(explorer, &TExplorerForm::screenFontClicked, this, &TFrameForm::ScreenFontClick);
    connect(explorer, &TExplorerForm::printFontClicked, this, &TFrameForm::PrintFontClick);

    addChild(explorer, QRect(4, 4, 158, frameGeometry().height() - 85));
    explorer->FollowCurrentDirectory();
}

void TFrameForm::openFromExplorer(TEditForm &window, const QString &question,
                                  void (TFrameForm::*open)(const QString &), const QString &path)
{
    if (window.askToSave(question))
        (this->*open)(path);
}

void TFrameForm::ViewCurrentDir1Click()
{
    if (ExplorerWindowOpen) {
        // Closing the form alone would leave its empty frame behind.
        ExplorerWindow->parentWidget()->close();
        return;
    }
    createExplorer();
}

void TFrameForm::followCurrentDirectory(bool reReadFiles)
{
    if (!ExplorerWindowOpen)
        return;
    ExplorerWindow->FollowCurrentDirectory();
    if (reReadFiles)
        ExplorerWindow->RereadFileList();
}

void TFrameForm::applyExplorerBounds(bool open, const QRect &bounds)
{
    if (!ExplorerWindowOpen)
        return;
    QWidget *sub = ExplorerWindow->parentWidget();
    if (!open) {
        sub->move(bounds.topLeft());
        sub->close();
    } else if (bounds.width() >= 100 && bounds.height() >= 100) {
        sub->setGeometry(bounds);
    }
}

QRect TFrameForm::explorerBounds() const
{
    return ExplorerWindowOpen ? ExplorerWindow->parentWidget()->geometry() : QRect();
}
