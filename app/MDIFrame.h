#pragma once

#include "app/UserDialogs.h"

#include <QFont>
#include <QList>
#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>
#include <QStringList>

#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QTimer;
class TAnotherEditForm;
class TChildForm;
class TEditForm;
class THelpEditForm;
class TCommandEditForm;
class TExplorerForm;
class TMasterEditForm;
class TOutputEditForm;
class DocumentFlows;
class EngineLauncher;
class EngineRun;

// The main frame: the program's one top-level window. It owns every child
// window and the state they share; its public operations are what the child
// windows' commands forward to, and they hand the work on to the subsystem
// that owns it.
class TFrameForm : public QMainWindow
{
    Q_OBJECT

public:
    // homeDir is the folder of the executable (the settings file and the
    // launch script live there); arguments are the program's arguments
    // without the program name.
    TFrameForm(UserDialogs &dialogs, const QString &homeDir, const QStringList &arguments = {},
               QWidget *parent = nullptr);
    ~TFrameForm() override;

    // Frame state shared by every window.
    QString HomeDir;
    TCommandEditForm *CommandWindow = nullptr;
    TOutputEditForm *OutputWindow = nullptr;
    QString CommandFileName;
    QString OutputFileName;
    QPointer<TExplorerForm> ExplorerWindow;
    bool ExplorerWindowOpen = false;
    THelpEditForm *HelpWindow = nullptr;
    bool HelpWindowOpen = false;
    TMasterEditForm *MasterWindow = nullptr;
    bool MasterWindowOpen = false;
    // The open other-file windows in the order they were opened; the window
    // at index i has AnotherIndex i + 1.
    QList<TAnotherEditForm *> AnotherWindows;
    int AnotherCount() const { return static_cast<int>(AnotherWindows.size()); }
    bool EngineRunning = false;

    // Settings.
    QString EnginePath;
    QString HelpFilePath;
    QString CommandFileExtension;
    QString OutputFileExtension;

    UserDialogs &dialogs() const { return m_dialogs; }
    QMdiArea *mdiArea() const { return m_mdiArea; }
    QTimer *timer() const { return m_timer; }
    QPrinter &printer();

    QFont screenFont() const { return m_screenFont; }
    QFont printFont() const { return m_printFont; }
    void setScreenFont(const QFont &font) { m_screenFont = font; }
    void setPrintFont(const QFont &font) { m_printFont = font; }

    QString statusText() const;
    void setStatusText(const QString &text);

    // Child windows.
    QMdiSubWindow *addChild(TChildForm *child, const QRect &bounds);
    // The frame's menus after the active child's own.
    void rebuildMenuBar();

    // Operations the child windows' commands reach.
    void FormShow();
    void ExitClick();
    void TileVertical1Click();
    void TileHorizontal1Click();
    void Cascade1Click();
    void Arrangeicons1Click();
    void ViewCurrentDir1Click();
    void ScreenFontClick();
    void PrintFontClick();
    void AboutClick();
    void Contents1Click();
    void PreferencesClick();
    void NewCommandClick();
    void OpenCommandClick();
    void OpenCommand(const QString &path);
    void CommandFileComboChanged();
    void OpenOutputClick();
    void OpenOutput(const QString &path);
    void OutputFileComboChanged();
    void OpenAnotherClick();
    void OpenAnother(const QString &path);
    void OpenMasterClick();
    void ExecQuelm();
    void ExecMaster();
    void CheckQuelmActivation();
    // The process of the command-file run in progress (or of the last one).
    std::unique_ptr<EngineRun> EngineProcess;
    // Writes and starts the launch script: the QProcess launcher unless a
    // test has put another in place.
    EngineLauncher &engineLauncher();
    void setEngineLauncher(std::unique_ptr<EngineLauncher> launcher);
    void LoadIniFile();
    void SaveIniFile();
    void anotherWindowClosed(TAnotherEditForm *window);
    void masterWindowClosed();

    // Where the settings file and the launch script go: HomeDir, or the
    // user's configuration folder when HomeDir cannot be written.
    QString dataDir() const;

    // An open explorer shows the process's current folder, and with
    // reReadFiles its file list is read again.
    void followCurrentDirectory(bool reReadFiles);

    // The command and output windows' save dialogs follow the extensions.
    void applySaveDialogFilters();

    // Runs one user action; a file failure inside it shows the general error box.
    bool guarded(const std::function<void()> &action);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createStatusBar();
    void updateWindowMenu();
    void FormResize();
    void openFirstArgument();
    // The windows that Tile and Cascade place, and placing them.
    QList<QMdiSubWindow *> arrangedWindows(QMdiArea::WindowOrder order) const;
    static void placeWindows(const QList<QMdiSubWindow *> &windows, const QList<QRect> &places);
    void createExplorer();
    QRect placementFor(const QSize &designSize) const;
    // The font dialog, started on the face in use; nothing when cancelled.
    std::optional<QFont> chooseFont(const QFont &inUse);
    // A double-click in the explorer: the command and output windows ask to
    // save a modified text before it is replaced.
    void openFromExplorer(TEditForm &window, const QString &question,
                          void (TFrameForm::*open)(const QString &), const QString &path);
    void restoreHistory(TEditForm &window, QString &frameFileName, const QStringList &entries,
                        const QString &captionPrefix);
    void applyExplorerBounds(bool open, const QRect &bounds);
    QRect explorerBounds() const;

    UserDialogs &m_dialogs;
    QStringList m_arguments;
    bool m_shown = false;
    QMdiArea *m_mdiArea = nullptr;
    QLabel *m_statusLabel = nullptr;
    QTimer *m_timer = nullptr;
    QFont m_screenFont;
    QFont m_printFont;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<DocumentFlows> m_flows;
    std::unique_ptr<EngineLauncher> m_engineLauncher;

    QMenu *m_executeMenu = nullptr;
    QMenu *m_windowMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_runQuelm = nullptr;
    QAction *m_viewCurrentDir = nullptr;
    QAction *m_tileVertical = nullptr;
    QAction *m_tileHorizontal = nullptr;
    QAction *m_cascade = nullptr;
    QAction *m_arrangeIcons = nullptr;
    QAction *m_windowListSeparator = nullptr;
    QAction *m_contents = nullptr;
    QAction *m_about = nullptr;
};

// The one frame of the program; set by the frame's constructor, cleared by its
// destructor.
extern TFrameForm *FrameForm;
