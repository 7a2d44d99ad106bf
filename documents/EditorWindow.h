#pragma once

#include "core/TextCodec.h"
#include "diskchanges/DiskWatcher.h"
#include "documents/WindowServices.h"
#include "ui/ChildForm.h"
#include "ui/ChildMenus.h"
#include "ui/Icons.h"
#include "ui/UserDialogs.h"

#include <QSize>
#include <QString>

#include <functional>

class CaretPositionLabel;
class DiskChangeBar;
class InfoBar;
class FindBar;
class GoToLineBar;
class QComboBox;
class QToolButton;
class TextEditor;

// What tells one kind of editor window from another.
struct EditorKind
{
    QString designCaption;
    QString untitledCaption;
    QSize designSize;
    bool tabInserts = false;
    bool scrollBarsAlwaysOn = false;
    QString saveAsPrefix;
    // Whether Save As puts the new name at the top of the file history and
    // announces it (savedAs): the command and output windows.
    bool saveAsRecordsHistory = false;
    // The tool tip before a "|" and the status text after it; a hint
    // without one is both.
    QString openHint;
    QString saveHint;
    QString printHint;
    bool hasFileCombo = false;
    bool fileComboOnToolBar = true;
    bool hasOpenMaster = false;
    int fileComboRows = 10;
    // A command-file run writes the file this window shows (the output
    // window); the run's end loads it, so it is no change by another program.
    bool runWritesFile = false;
    // The help file's keywords colour and complete the text (the command
    // and master windows); the Edit menu then offers "Complete Keywords".
    bool knowsKeyWords = false;
};

// The base of the four editor windows: one plain-text file in `Editor`, a tool
// bar, and a File and an Edit menu that join the frame's menu bar while the
// window is active. Load, save, save as, the close question, the edit
// commands and the file history live here; the kinds add what their buttons
// do and what closing means for them.
class TEditForm : public TChildForm
{
    Q_OBJECT

public:
    static const QString UntitledName;

    TEditForm(const EditorKind &kind, const WindowServices &services, QWidget *parent = nullptr);

    QString FileName;
    // The save dialog's filter, title and default extension.
    UserDialogs::FileRequest SaveFileDialog;

    TextEditor *editor() const { return m_editor; }
    const EditorKind &kind() const { return m_kind; }
    QComboBox *fileCombo() const { return m_fileCombo; }
    bool isUntitled() const { return FileName == UntitledName; }
    bool isModified() const;

    QList<QMenu *> mergedMenus() const override;

    // False when the user called a long load off. Throws FileError when the
    // file cannot be read. Either way the window keeps its text, its name and
    // its caption.
    bool LoadFile(const QString &path);
    // LoadFile for a user's open: a file that cannot be read is reported in
    // the general error box. False when nothing was loaded.
    bool tryLoadFile(const QString &path);
    // Both return whether the text was written.
    bool SaveClick();
    bool SaveAsClick();
    // Writes the text to FileName whatever the modified flag, in the file's
    // own encoding. False when the user calls the write off: over a change
    // another program made, or as UTF-8 where the encoding cannot hold the
    // text. Throws FileError when the file cannot be written.
    bool writeFile();
    // Replaces the text with text (UTF-8) as unsaved text: the window is
    // modified, and Save writes it to FileName.
    void showUnsavedText(const QByteArray &text);
    // Back to an untitled, empty, clean text under the kind's untitled caption.
    void makeUntitled();
    // The window shows path as another program writes it: an empty text
    // that grows (TextEditor::startGrowingText), saved as UTF-8.
    void showGrowingFile(const QString &path);
    // The grown text is all of the file, as seen: it is the window's file
    // from now on, as if it had been loaded.
    void adoptGrowingFile(const FileSnapshot &seen);

    bool FormCloseQuery() override;
    void EditClick();
    void MyResize();

    void CutClick();
    void CopyClick();
    void PasteClick();
    void SelectallClick();
    void PrintClick();
    void PrintersetupClick();

    // What became of unsaved text when the user was asked about it.
    enum class SaveOutcome {
        Saved,
        // No; or there was nothing unsaved to ask about.
        NotSaved,
        // Cancel; or Yes, and the text was not written after all. The
        // caller's flow stops: going on would lose the text.
        Cancelled,
    };
    // Asks "Save changes to ...?" when modified.
    SaveOutcome askToSave(const QString &question);

    // Runs a step of a user's action; a file failure shows the general error box.
    bool guarded(const std::function<void()> &action);

    // A command-file run disables the commands that would disturb it (the
    // history, open, save and print) in the command and output windows, and
    // its end enables them again; their menu items and buttons follow.
    void setRunLocked(bool locked);

    void setCaption(const QString &caption);
    void setWindowBounds(const QRect &bounds);
    QRect windowBounds() const;

    // The file history (command and output windows), newest first. This is
    // the only code that changes the list; none of these runs the user's
    // pick handler.
    QStringList historyEntries() const;
    // The lists the settings file holds; no entry selected.
    void setHistory(const QStringList &entries);
    // An open: the entry of path (told apart as the file system does) moves
    // to the top, or path is put there; the top entry is selected.
    void historyOpened(const QString &path);
    // Save As and the end of a run: path goes to the top even when it is
    // listed already, and is selected.
    void historyInserted(const QString &path);
    // Selects the entry of the window's file, or none when it is untitled.
    void selectShownFile();

signals:
    // The user picked an entry of the file history.
    void historyEntryPicked(const QString &path);
    // Save As wrote the text under a new name (kinds that record it).
    void savedAs(const QString &path);

protected:
    // The kinds' own buttons: each shows a command, which its button and
    // its menu item, if it has one, share. The hint is the button's.
    void addOpenButton(QAction *command);
    void addRunButton(QAction *command);
    void addStopButton(QAction *command);
    // In the stop button's place: the master window has no stop button.
    void addSubmitButton(QAction *command);

    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    const WindowServices &services() const { return m_services; }

    ChildMenus::FileMenu m_fileMenu;
    ChildMenus::EditMenu m_editMenu;

private:
    void createMenus();
    void addCompletionItem();
    void createToolBar();
    void createBars();
    void connectTextCommands();
    void addButton(const QString &name, int x, QAction *command, const QString &hint, Icons::Name icon);
    void placeFileCombo();
    void setHistoryList(const QStringList &entries, int selected);
    // An empty, unmodified text that is saved as UTF-8.
    void clearText();
    // Asks before a text that the file's encoding cannot hold is saved as
    // UTF-8; false when the user declines.
    bool askToSaveAsUtf8();
    // writeFile for the user's Save: a failure shows the general error box.
    bool write();
    // Asks before the text goes over a change another program made to the
    // file; false when the user declines.
    bool askToOverwriteChange();

    // The unsaved mark: Qt's "*" in the title of the window's frame and in
    // the Window menu, while the text differs from its file.
    void updateUnsavedMark();
    void updateUndoItems();
    void showLineNumbers(bool shown);
    void diskStateChanged(DiskWatcher::State state);
    // Loads the file again where the user was in it; automatic: a failure
    // leaves the bar to say the file changed rather than a message box.
    void reloadFromDisk(bool automatic);
    int fileComboShift() const;

    EditorKind m_kind;
    QWidget *m_speedBar = nullptr;
    bool m_hasStopButton = false;
    WindowServices m_services;
    // What the text is saved as: the loaded file's encoding, UTF-8 for a new text.
    TextEncoding m_encoding = TextEncoding::Utf8;
    TextEditor *m_editor = nullptr;
    QComboBox *m_fileCombo = nullptr;
    FindBar *m_findBar = nullptr;
    GoToLineBar *m_goToLineBar = nullptr;
    CaretPositionLabel *m_caretPosition = nullptr;
    DiskChangeBar *m_diskBar = nullptr;
    // Says that the text's overlong lines are shown in pieces.
    InfoBar *m_piecesBar = nullptr;
    // Not while a run writes the file: the end of the run loads it.
    QToolButton *m_wholeLinesButton = nullptr;
    DiskWatcher *m_diskWatcher = nullptr;
};
