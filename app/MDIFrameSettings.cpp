// The frame's settings: reading and writing ostrel.ini, and the preferences.
#include "app/Defaults.h"
#include "app/MDIFrame.h"
#include "app/PrefDialog.h"
#include "core/IniFile.h"
#include "core/PathHelpers.h"
#include "documents/DocumentWindows.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "printing/WindowPrinting.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

namespace {

void applyChildBounds(TEditForm &window, const QRect &bounds, const QList<QRect> &screens)
{
    if (plausibleChildBounds(bounds, screens))
        window.setWindowBounds(bounds);
}

} // namespace

void TFrameForm::LoadIniFile()
{
    const std::optional<IniSettings> ini = readIniFileAt(iniFilePath(m_homeDir));
    if (!ini)
        return;

    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    if (plausibleFrameBounds(ini->mainWindow, screens))
        setGeometry(ini->mainWindow);
    applyChildBounds(*m_commandWindow, ini->commandWindow, screens);
    applyChildBounds(*m_outputWindow, ini->outputWindow, screens);
    applyExplorerBounds(ini->explorerOpen, ini->explorerWindow);

    EnginePath = ini->enginePath;
    HelpFilePath = ini->helpFilePath;
    QDir::setCurrent(ini->workingDirectory);
    showCurrentFolderInExplorer();
    CommandFileExtension = ini->commandFileExtension;
    OutputFileExtension = ini->outputFileExtension;

    m_screenFont = fontFromIni(ini->screenFont, m_screenFont);
    m_outputWindow->editor()->setEditorFont(m_screenFont);
    m_commandWindow->editor()->setEditorFont(m_screenFont);
    m_documents->setScreenFont(m_screenFont);
    m_printing->setFont(fontFromIni(ini->printFont, m_printing->font()));

    // A hand-edited file may list relative paths: they name files in the
    // working folder it gave, and a window's file name is always absolute,
    // so that a later save cannot land in whatever folder is current then.
    const QString workingFolder = QDir::currentPath();
    m_documents->reopen(*m_commandWindow, Paths::absolutePaths(ini->commandHistory, workingFolder));
    m_documents->reopen(*m_outputWindow, Paths::absolutePaths(ini->outputHistory, workingFolder));
}

void TFrameForm::SaveIniFile()
{
    IniSettings ini;
    // The maximised state is remembered apart; these are the bounds the
    // frame goes back to from it.
    ini.mainWindow = isMaximized() ? normalGeometry() : geometry();
    ini.commandWindow = m_commandWindow->windowBounds();
    ini.outputWindow = m_outputWindow->windowBounds();
    ini.explorerOpen = ExplorerWindowOpen();
    ini.explorerWindow = explorerBounds();
    ini.enginePath = EnginePath;
    ini.helpFilePath = HelpFilePath;
    ini.workingDirectory = QDir::toNativeSeparators(QDir::currentPath());
    ini.commandFileExtension = CommandFileExtension;
    ini.outputFileExtension = OutputFileExtension;
    ini.screenFont = iniFontOf(m_screenFont);
    ini.printFont = iniFontOf(m_printing->font());
    ini.commandHistory = m_commandWindow->historyEntries();
    ini.outputHistory = m_outputWindow->historyEntries();
    // A settings file that cannot be written must not keep the program open.
    writeIniFileAt(iniFilePath(m_homeDir), ini);
}

void TFrameForm::PreferencesClick()
{
    PrefValues values{EnginePath, HelpFilePath, CommandFileExtension, OutputFileExtension, m_runSettings};
    if (!runPreferences(this, m_dialogs, values))
        return;
    setRunSettings(values.runs);
    const bool newHelpFile = HelpFilePath != values.helpFilePath;
    EnginePath = values.enginePath;
    HelpFilePath = values.helpFilePath;
    CommandFileExtension = values.commandFileExtension;
    OutputFileExtension = values.outputFileExtension;
    setStatusText(Defaults::statusAfterPreferences(statusText(), EnginePath));
    applySaveDialogFilters();
    if (newHelpFile)
        readHelpKeyWords();
}
