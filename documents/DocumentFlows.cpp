#include "documents/DocumentFlows.h"

#include "app/MDIFrame.h"
#include "app/PathHelpers.h"
#include "documents/FileFilters.h"
#include "documents/FileHistory.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "documents/TextEditor.h"

#include <QComboBox>
#include <QDir>
#include <QMdiArea>

namespace {

// Fills a history list and selects an entry without running its pick handler.
void setHistory(QComboBox &combo, const QStringList &list, int selected)
{
    const QSignalBlocker blocker(&combo);
    combo.clear();
    combo.addItems(list);
    combo.setCurrentIndex(selected);
}

} // namespace

DocumentFlows::Target DocumentFlows::commandTarget()
{
    const QString ext = m_frame.CommandFileExtension;
    return {*m_frame.CommandWindow,
            m_frame.CommandFileName,
            QStringLiteral("Save changes to current command file?"),
            QStringLiteral("Open Command File"),
            FileFilters::commandFilter(ext),
            ext,
            Captions::Command};
}

DocumentFlows::Target DocumentFlows::outputTarget()
{
    const QString ext = m_frame.OutputFileExtension;
    return {*m_frame.OutputWindow,
            m_frame.OutputFileName,
            QStringLiteral("Save changes to current output file?"),
            QStringLiteral("Open Output File"),
            FileFilters::outputFilter(ext),
            ext,
            Captions::Output};
}

void DocumentFlows::NewCommandClick()
{
    TCommandEditForm &window = *m_frame.CommandWindow;
    if (!window.askToSave(QStringLiteral("Save changes to current command file?")))
        return;
    m_frame.CommandFileName.clear();
    window.makeUntitled();
    window.bringToFront();
    const QSignalBlocker blocker(window.fileCombo());
    window.fileCombo()->setCurrentIndex(-1);
}

void DocumentFlows::openClick(const Target &target, void (DocumentFlows::*openPath)(const QString &))
{
    if (!target.window.askToSave(target.question))
        return;
    const UserDialogs::FileRequest request{target.openTitle, target.filter, target.extension, QString()};
    const std::optional<QString> chosen = m_frame.dialogs().openFile(&m_frame, request);
    if (!chosen || chosen->isEmpty())
        return;
    (this->*openPath)(*chosen);
}

void DocumentFlows::open(const Target &target, const QString &givenPath)
{
    const QString path = Paths::absolutePath(givenPath, QDir::currentPath());
    m_frame.guarded([&] {
        target.window.LoadFile(path);
        // Only a file that was read becomes the frame's file: a run saves the
        // window's text and runs the engine on this name.
        target.frameFileName = path;
        target.window.setCaption(target.captionPrefix + path);
        target.window.bringToFront();
        target.window.editor()->update();
        QComboBox &history = *target.window.fileCombo();
        setHistory(history, FileHistory::afterOpen(target.window.historyEntries(), path), 0);
        QDir::setCurrent(Paths::directoryPart(path));
        m_frame.followCurrentDirectory(false);
    });
}

void DocumentFlows::historyPicked(const Target &target, void (DocumentFlows::*openPath)(const QString &))
{
    const QString picked = target.window.fileCombo()->currentText();
    if (!target.window.askToSave(target.question)) {
        selectShownFile(target.window);
        return;
    }
    if (!Paths::fileExists(picked)) {
        m_frame.dialogs().error(&m_frame, QStringLiteral("Open"),
                                QStringLiteral("Cannot read selected file."));
        selectShownFile(target.window);
        return;
    }
    (this->*openPath)(picked);
    // An open that failed leaves the window on its file; the list says so.
    selectShownFile(target.window);
}

void DocumentFlows::selectShownFile(TEditForm &window)
{
    QComboBox &history = *window.fileCombo();
    const QSignalBlocker blocker(&history);
    history.setCurrentIndex(window.isUntitled() ? -1 : history.findText(window.FileName));
}

void DocumentFlows::OpenCommandClick()
{
    openClick(commandTarget(), &DocumentFlows::OpenCommand);
}

void DocumentFlows::OpenCommand(const QString &path)
{
    open(commandTarget(), path);
}

void DocumentFlows::CommandFileComboChanged()
{
    historyPicked(commandTarget(), &DocumentFlows::OpenCommand);
}

void DocumentFlows::OpenOutputClick()
{
    openClick(outputTarget(), &DocumentFlows::OpenOutput);
}

void DocumentFlows::OpenOutput(const QString &path)
{
    open(outputTarget(), path);
}

void DocumentFlows::OutputFileComboChanged()
{
    historyPicked(outputTarget(), &DocumentFlows::OpenOutput);
}

void DocumentFlows::OpenAnotherClick()
{
    const UserDialogs::FileRequest request{
        QStringLiteral("Open Another File"),
        FileFilters::anotherFilter(m_frame.CommandFileExtension, m_frame.OutputFileExtension),
        QStringLiteral(".mst"), QString()};
    const std::optional<QString> chosen = m_frame.dialogs().openFile(&m_frame, request);
    if (!chosen || chosen->isEmpty())
        return;
    OpenAnother(*chosen);
}

void DocumentFlows::OpenAnother(const QString &givenPath)
{
    const QString path = Paths::absolutePath(givenPath, QDir::currentPath());
    auto *window = new TAnotherEditForm;
    m_frame.AnotherWindows.append(window);
    window->AnotherIndex = m_frame.AnotherCount();
    m_frame.addChild(window, QRect());
    const bool loaded = m_frame.guarded([&] {
        window->LoadFile(path);
        window->editor()->setEditorFont(m_frame.screenFont());
        window->setCaption(Captions::Other + path);
    });
    // A window that could not read its file would only show an empty text
    // under the file's name; it goes again.
    if (!loaded) {
        m_frame.anotherWindowClosed(window);
        window->parentWidget()->deleteLater();
    }
}

void DocumentFlows::OpenMasterClick()
{
    if (m_frame.MasterWindowOpen)
        return;
    const UserDialogs::FileRequest request{QStringLiteral("Open Master File"), FileFilters::masterFilter(),
                                           QStringLiteral(".txt"), QString()};
    const std::optional<QString> chosen = m_frame.dialogs().openFile(&m_frame, request);
    if (!chosen)
        return;
    auto *window = new TMasterEditForm;
    m_frame.MasterWindow = window;
    m_frame.MasterWindowOpen = true;
    m_frame.addChild(window, QRect());
    if (chosen->isEmpty())
        return;
    m_frame.guarded([&] {
        window->LoadFile(*chosen);
        window->editor()->setEditorFont(m_frame.screenFont());
        window->setCaption(Captions::Master + *chosen);
    });
}

void DocumentFlows::openArgument(const QString &path)
{
    m_frame.CommandFileName.clear();
    m_frame.CommandWindow->makeUntitled();
    m_frame.CommandWindow->fileCombo()->setCurrentIndex(-1);
    m_frame.OutputFileName.clear();
    m_frame.OutputWindow->makeUntitled();
    m_frame.OutputWindow->fileCombo()->setCurrentIndex(-1);

    const QString extension = Paths::asciiLower(Paths::extension(path, Paths::windowsSeparators()));
    if (extension == Paths::asciiLower(m_frame.CommandFileExtension))
        OpenCommand(path);
    else if (extension == Paths::asciiLower(m_frame.OutputFileExtension))
        OpenOutput(path);
    else
        OpenAnother(path);
}
