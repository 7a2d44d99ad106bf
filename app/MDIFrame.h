#pragma once

#include "app/Session.h"
#include "core/FileAtLine.h"
#include "core/FrameState.h"
#include "engine/RunSettings.h"
#include "ui/UserDialogs.h"

#include <QFont>
#include <QList>
#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class CommandRun;
class DocumentWindows;
class EditorPreferences;
class EngineLauncher;
class EngineRun;
class HelpText;
class KeyWordHintsBuilder;
class MasterRun;
class MessagePatterns;
class PrintContext;
class QAction;
class QDockWidget;
class QLabel;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QTimer;
class RunEndNotice;
class RecoveryCopies;
class RecoveryStore;
class RunLog;
class StatusProgress;
class Studies;
class StudyView;
class SubmitMaster;
struct Study;
class TAnotherEditForm;
class TChildForm;
class TCommandEditForm;
class TExplorerForm;
class THelpEditForm;
class TMasterEditForm;
class TOutputEditForm;
struct WindowServices;

// The main frame: the program's one top-level window and its hub. It owns
// every child window and the state they share: the settings and the files
// shown (inherited here under the names every part of the program uses),
// the fonts, the status line and the runs. Child windows announce the
// frame's commands by signals, which it connects in one place; its public
// operations hand the work to the part of the program that owns it.
class TFrameForm : public QMainWindow, public ProgramSettings, public ShownFiles
{
    Q_OBJECT

public:
    // homeDir is the folder of the executable (the settings file and the
    // launch script live there); arguments are the program's file arguments
    // ("FILE", "FILE:LINE", "+LINE FILE"), files those that name existing
    // files, each with its place.
    TFrameForm(UserDialogs &dialogs, const QString &homeDir, const QStringList &arguments = {},
               QWidget *parent = nullptr);
    TFrameForm(UserDialogs &dialogs, const QString &homeDir, const FilesAtLines &files,
               QWidget *parent = nullptr);
    ~TFrameForm() override;

    // Frame state, read by the windows' and the runs' owners.
    const QString &HomeDir() const { return m_homeDir; }
    TCommandEditForm *CommandWindow() const { return m_commandWindow; }
    TOutputEditForm *OutputWindow() const { return m_outputWindow; }
    TExplorerForm *ExplorerWindow() const;
    bool ExplorerWindowOpen() const { return !m_explorerWindow.isNull(); }
    THelpEditForm *HelpWindow() const;
    bool HelpWindowOpen() const { return !m_helpWindow.isNull(); }
    TMasterEditForm *MasterWindow() const;
    bool MasterWindowOpen() const { return MasterWindow() != nullptr; }
    QList<TAnotherEditForm *> AnotherWindows() const;
    int AnotherCount() const { return int(AnotherWindows().size()); }
    bool EngineRunning() const;
    // The process of the command-file run in progress (or of the last one).
    EngineRun *EngineProcess() const;

    QMdiArea *mdiArea() const { return m_mdiArea; }
    // The Run Log pane, at the bottom, and what it shows.
    QDockWidget *runLogDock() const;
    RunLog *runLog() const { return m_runLog; }
    // The Study pane: the studies submitted to the cluster, and what is known of them.
    QDockWidget *studyDock() const { return m_studyDock; }
    StudyView *studyView() const { return m_studyView; }
    Studies *studies() const { return m_studies; }
    QTimer *timer() const;
    QPrinter &printer();
    QFont screenFont() const { return m_screenFont; }
    QFont printFont() const;
    QString statusText() const;
    void setStatusText(const QString &text);
    // A word beside the status text on what the program did not do and why,
    // for as long as the reason holds (files dropped during a run).
    QString statusNote() const;
    // Runs start the engine through launcher from now on (tests force failures).
    void setEngineLauncher(std::unique_ptr<EngineLauncher> launcher);
    // How master runs run and how the engine is started; kept in the user's
    // Qt settings, not in ostrel.ini.
    const RunSettings &runSettings() const { return m_runSettings; }
    void setRunSettings(const RunSettings &runs);

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
    // F1 on a word of an editor window: Contents1Click, then the word's entry
    // when it is a keyword.
    void KeyWordHelpClick(const QString &word);
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
    // Ends the engine of the command-file run in progress (Execute, Stop Quelm).
    void StopQuelm();
    void ExecMaster();
    // Execute, Message Patterns...: the user's own forms of messages.
    void MessagePatternsClick();
    // Each command file of the master window's file becomes a batch job on
    // the Slurm cluster, which goes on without the program.
    void SubmitMasterClick();
    void CheckQuelmActivation();
    void LoadIniFile();
    void SaveIniFile();

    // An open explorer shows the process's current folder, and with
    // withFiles its file list is read again.
    void showCurrentFolderInExplorer(bool withFiles = false);

    // Whether the frame brings back the last session after its start-up and
    // remembers this one at its end: so unless set otherwise before it is
    // shown (--no-session).
    void setSessionKept(bool kept) { m_sessionKept = kept; }
    // The last session's windows come back one by one once the frame shows.
    bool restoringSession() const { return m_restoring; }
    // Files handed over by a second start: each opens as a double-click in
    // the explorer opens it, at its place, and the frame comes to the front.
    // While the session is brought back, or a dialog waits for the user,
    // they wait. activationToken lets the desktop raise the window.
    void openHandedFiles(const FilesAtLines &files, const QByteArray &activationToken = QByteArray());
    // A file picked under File, Recent Files.
    void RecentFileClick(const QString &path, bool master);

signals:
    // The last session's windows are back (also when there was none).
    void sessionRestored();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Files dropped on the frame open as a double-click in the explorer
    // opens them.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // The session comes back once the frame has been painted.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createStatusBar();
    void createRuns();
    void createRunLog();
    // Next Message, Previous Message and Message Patterns (MDIFrameMessages.cpp).
    void createMessageActions();
    void wireMessages();
    // A line of the Run Log or the output window that may name a place.
    void goToMessage(const QString &line, const QString &commandFile);
    // The status line's word on a place shown or not shown.
    void sayOfPlace(const QString &text);
    // The messages of the run that just ended: its Run Log lines, and the
    // output window's when the run loaded it.
    void collectRunMessages(bool withOutput);
    // Execute, Follow Output: whether the output window shows a run's
    // output as it is written; kept in the user's Qt settings.
    void createFollowOutput();
    void createStudies();
    // The last job of a study has ended.
    void studyEnded(const Study &study);
    // The Run Log pane opens at the height the user left it at, or at a few
    // lines; the height is kept across starts.
    void sizeRunLog();
    void keepRunLogHeight();
    void rebuildMenuBar();
    void updateWindowMenu();
    void FormResize();
    void openArguments();
    QMdiSubWindow *addChild(TChildForm *child, const QRect &bounds = QRect());
    // Connects the commands a child announces to the frame's operations.
    void wireChild(TChildForm *child);
    void createExplorer();
    void openDroppedFiles(const QStringList &paths);
    // Opens each file where a double-click in the explorer opens it; command
    // and output files wait for no run but are named in the status line.
    void openFromOutside(const FilesAtLines &files);
    void openWaitingFiles();
    void comeToFront(const QByteArray &activationToken);

    // The session: what is remembered at the end, and bringing it back in
    // steps, each in a turn of the event loop of its own, so that the frame
    // answers while large files load.
    Session::State sessionNow() const;
    void keepSession();
    void restoreSession();
    void startRestoreSteps();
    void restoreNextStep();
    void restoreFirstSteps(const Session::State &session);
    void restoreEditorWindow(const Session::Window &saved, bool master);
    void finishSessionRestore(const Session::State &session);
    void setStatusNote(const QString &text);
    QRect placementFor(const QSize &designSize) const;
    QList<QMdiSubWindow *> arrangedWindows(QMdiArea::WindowOrder order) const;
    static void placeWindows(const QList<QMdiSubWindow *> &windows, const QList<QRect> &places);
    // The font dialog, started on the face in use; nothing when cancelled.
    std::optional<QFont> chooseFont(const QFont &inUse);
    void applySaveDialogFilters();
    // Reads the help file's keywords for the editor windows' colouring.
    void readHelpKeyWords();
    // Offers the unsaved text that ended programs left, then keeps copies
    // of this program's.
    void startRecovery();
    void offerRecovery();
    void applyExplorerBounds(bool open, const QRect &bounds);
    QRect explorerBounds() const;
    QString dataDir() const;

    UserDialogs &m_dialogs;
    QString m_homeDir;
    FilesAtLines m_arguments;
    bool m_shown = false;
    bool m_sessionKept = true;
    bool m_restoring = false;
    bool m_restoreStarted = false;
    // The progress line's delay, shortened while the session comes back.
    int m_progressAfter = 0;
    std::optional<Session::State> m_lastSession;
    QList<std::function<void()>> m_restoreSteps;
    QStringList m_goneFiles;
    // The window the command line's last file went to: it stays in front.
    QPointer<QMdiSubWindow> m_argumentWindow;
    struct HandedFiles
    {
        FilesAtLines files;
        QByteArray activationToken;
    };
    QList<HandedFiles> m_waitingFiles;
    QMdiArea *m_mdiArea = nullptr;
    QLabel *m_statusLabel = nullptr;
    QLabel *m_statusNote = nullptr;
    QFont m_screenFont;
    std::unique_ptr<PrintContext> m_printing;
    std::unique_ptr<EditorPreferences> m_editorPreferences;
    StatusProgress *m_progress = nullptr;
    std::unique_ptr<WindowServices> m_services;
    std::unique_ptr<EngineLauncher> m_engineLauncher;
    // The help file as last read, for the help window and the keyword colours.
    std::unique_ptr<HelpText> m_helpText;
    KeyWordHintsBuilder *m_keyWordHints = nullptr;
    RunSettings m_runSettings;

    TCommandEditForm *m_commandWindow = nullptr;
    TOutputEditForm *m_outputWindow = nullptr;
    QPointer<TExplorerForm> m_explorerWindow;
    QPointer<THelpEditForm> m_helpWindow;
    DocumentWindows *m_documents = nullptr;
    RecoveryStore *m_recoveryStore = nullptr;
    RecoveryCopies *m_recoveryCopies = nullptr;
    CommandRun *m_commandRun = nullptr;
    MasterRun *m_masterRun = nullptr;
    RunLog *m_runLog = nullptr;
    RunEndNotice *m_runEndNotice = nullptr;
    QDockWidget *m_runLogDock = nullptr;
    Studies *m_studies = nullptr;
    SubmitMaster *m_submitMaster = nullptr;
    StudyView *m_studyView = nullptr;
    QDockWidget *m_studyDock = nullptr;
    bool m_runLogSized = false;
    std::unique_ptr<MessagePatterns> m_messageForms;
    // The Run Log's lines from this one on are the last run's.
    qint64 m_runLogMark = 0;

    QMenu *m_executeMenu = nullptr;
    QMenu *m_windowMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_runQuelm = nullptr;
    QAction *m_stopQuelm = nullptr;
    QAction *m_nextMessage = nullptr;
    QAction *m_previousMessage = nullptr;
    QAction *m_messagePatterns = nullptr;
    QAction *m_followOutput = nullptr;
    QAction *m_submitMasterAction = nullptr;
    QAction *m_viewCurrentDir = nullptr;
    QAction *m_tileVertical = nullptr;
    QAction *m_tileHorizontal = nullptr;
    QAction *m_cascade = nullptr;
    QAction *m_arrangeIcons = nullptr;
    QAction *m_windowListSeparator = nullptr;
    QAction *m_contents = nullptr;
    QAction *m_about = nullptr;
};

// The one frame of the program, for main and tests; set by the frame's
// constructor, cleared by its destructor.
extern TFrameForm *FrameForm;
