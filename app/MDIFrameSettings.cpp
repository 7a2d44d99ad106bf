// The frame's settings: reading and writing ostrel.ini, and the preferences.
#include "app/IniFile.h"
#include "app/MDIFrame.h"
#include "app/PathHelpers.h"
#include "app/PrefDialog.h"
#include "documents/FileFilters.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "documents/TextEditor.h"
#include "explorer/MDIExplorer.h"

#include <QComboBox>
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
    const std::optional<IniSettings> ini = readIniFileAt(iniFilePath(HomeDir));
    if (!ini)
        return;

    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    if (plausibleFrameBounds(ini->mainWindow, screens))
        setGeometry(ini->mainWindow);
    applyChildBounds(*CommandWindow, ini->commandWindow, screens);
    applyChildBounds(*OutputWindow, ini->outputWindow, screens);
    applyExplorerBounds(ini->explorerOpen, ini->explorerWindow);

    EnginePath = ini->enginePath;
    HelpFilePath = ini->helpFilePath;
    QDir::setCurrent(ini->workingDirectory);
    followCurrentDirectory(false);
    CommandFileExtension = ini->commandFileExtension;
    OutputFileExtension = ini->outputFileExtension;
    // The filter list keeps the extensions it was made with; a double-click
    // goes by the ones in force.
    if (ExplorerWindowOpen)
        ExplorerWindow->setFileExtensions(CommandFileExtension, OutputFileExtension);

    m_screenFont = fontFromIni(ini->screenFont, m_screenFont);
    OutputWindow->editor()->setEditorFont(m_screenFont);
    CommandWindow->editor()->setEditorFont(m_screenFont);
    m_printFont = fontFromIni(ini->printFont, m_printFont);

    // A hand-edited file may list relative paths: they name files in the
    // working folder it gave, and a window's file name is always absolute,
    // so that a later save cannot land in whatever folder is current then.
    const QString workingFolder = QDir::currentPath();
    restoreHistory(*CommandWindow, CommandFileName, Paths::absolutePaths(ini->commandHistory, workingFolder),
                   Captions::Command);
    restoreHistory(*OutputWindow, OutputFileName, Paths::absolutePaths(ini->outputHistory, workingFolder),
                   Captions::Output);
}

void TFrameForm::restoreHistory(TEditForm &window, QString &frameFileName, const QStringList &entries,
                                const QString &captionPrefix)
{
    QComboBox *combo = window.fileCombo();
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
    if (entries.isEmpty() || !Paths::fileExists(entries.first()))
        return;
    // A file that exists but cannot be read leaves the window untitled, and
    // start-up goes on.
    const QString path = entries.first();
    guarded([&] {
        window.LoadFile(path);
        combo->setCurrentIndex(0);
        frameFileName = path;
        window.setCaption(captionPrefix + path);
    });
}

void TFrameForm::SaveIniFile()
{
    IniSettings ini;
    ini.mainWindow = geometry();
    ini.commandWindow = CommandWindow->windowBounds();
    ini.outputWindow = OutputWindow->windowBounds();
    ini.explorerOpen = ExplorerWindowOpen;
    ini.explorerWindow = explorerBounds();
    ini.enginePath = EnginePath;
    ini.helpFilePath = HelpFilePath;
    ini.workingDirectory = QDir::toNativeSeparators(QDir::currentPath());
    ini.commandFileExtension = CommandFileExtension;
    ini.outputFileExtension = OutputFileExtension;
    ini.screenFont = iniFontOf(m_screenFont);
    ini.printFont = iniFontOf(m_printFont);
    ini.commandHistory = CommandWindow->historyEntries();
    ini.outputHistory = OutputWindow->historyEntries();
    // A settings file that cannot be written must not keep the program open.
    writeIniFileAt(iniFilePath(HomeDir), ini);
}

void TFrameForm::PreferencesClick()
{
    PrefValues values{EnginePath, HelpFilePath, CommandFileExtension, OutputFileExtension};
    if (!runPreferences(this, m_dialogs, values))
        return;
    EnginePath = values.enginePath;
    HelpFilePath = values.helpFilePath;
    CommandFileExtension = values.commandFileExtension;
    OutputFileExtension = values.outputFileExtension;
    applySaveDialogFilters();
    if (ExplorerWindowOpen)
        ExplorerWindow->setFileExtensions(CommandFileExtension, OutputFileExtension);
}
