// The frame's settings: reading and writing ostrel.ini, and the preferences.
#include "app/Defaults.h"
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

void applyChildBounds(TEditForm &window, const QRect &bounds)
{
    if (plausibleChildBounds(bounds))
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
    applyChildBounds(*CommandWindow, ini->commandWindow);
    applyChildBounds(*OutputWindow, ini->outputWindow);
    applyExplorerBounds(ini->explorerOpen, ini->explorerWindow);

    EnginePath = ini->enginePath;
    HelpFilePath = ini->helpFilePath;
    QDir::setCurrent(ini->workingDirectory);
    followCurrentDirectory(false);
    CommandFileExtension = ini->commandFileExtension;
    OutputFileExtension = ini->outputFileExtension;

    m_screenFont = fontFromIni(ini->screenFont, m_screenFont);
    OutputWindow->editor()->setEditorFont(m_screenFont);
    CommandWindow->editor()->setEditorFont(m_screenFont);
    m_printFont = fontFromIni(ini->printFont, m_printFont);

    restoreHistory(*CommandWindow, CommandFileName, ini->commandHistory, Captions::Command);
    restoreHistory(*OutputWindow, OutputFileName, ini->outputHistory, Captions::Output);
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
    setStatusText(Defaults::statusAfterPreferences(statusText(), EnginePath));
    applySaveDialogFilters();
    if (ExplorerWindowOpen)
        ExplorerWindow->setFileExtensions(CommandFileExtension, OutputFileExtension);
}
