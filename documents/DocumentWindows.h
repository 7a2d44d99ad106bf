#pragma once

#include "core/FileAtLine.h"
#include "core/FrameState.h"
#include "core/MessagePlaces.h"
#include "diskchanges/FileSnapshot.h"
#include "documents/WindowServices.h"
#include "editor/KeyWords.h"

#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>
#include <vector>

class QAction;
class QWidget;
class TAnotherEditForm;
class TChildForm;
class TCommandEditForm;
class TEditForm;
class TMasterEditForm;
class TOutputEditForm;

// The editor windows and the flows that put files into them: new, open, the
// file histories, other-file and master windows, and the file named on the
// command line. It keeps which master and other-file windows are open; the
// frame places each new window when windowCreated says so.
// It is the one writer of the shown files: a command or output window's
// file and the frame's name of it change together, here, and the runs ask
// for what they need.
class DocumentWindows : public QObject
{
    Q_OBJECT

public:
    // command and output live as long as the frame; files are the names kept
    // equal to theirs. dialogParent owns the flows' messages.
    DocumentWindows(const WindowServices &services, ShownFiles &files, TCommandEditForm &command,
                    TOutputEditForm &output, QWidget *dialogParent, QObject *parent = nullptr);

    const ShownFiles &shownFiles() const { return m_files; }
    TCommandEditForm &commandWindow() const { return m_command; }
    TOutputEditForm &outputWindow() const { return m_output; }
    TMasterEditForm *masterWindow() const;
    // The open other-file windows in the order they were opened; the window
    // at index i has AnotherIndex i + 1.
    const QList<TAnotherEditForm *> &anotherWindows() const { return m_another; }

    // The font a new master or other-file window takes.
    void setScreenFont(const QFont &font) { m_screenFont = font; }
    // A new screen font reaches the command, output and other-file windows;
    // the master window keeps the font it was opened with.
    void applyScreenFont(const QFont &font);

    // The frame's command that a master window opened from now on shows
    // beside its run button.
    void setSubmitMasterCommand(QAction *submit) { m_submitMaster = submit; }

    // The help file's keywords, coloured and completed in the command and
    // master windows.
    void setKeyWordHints(SharedKeyWordHints hints);

    void NewCommandClick();
    void OpenCommandClick();
    void OpenCommand(const QString &path);
    void CommandFileComboChanged(const QString &picked);
    void OpenOutputClick();
    void OpenOutput(const QString &path);
    void OutputFileComboChanged(const QString &picked);
    void OpenAnotherClick();
    void OpenAnother(const QString &path);
    void OpenMasterClick();
    // The master window with path in it; nothing when one is open already.
    void openMaster(const QString &path);
    // The files named on the command line, each existing: the first that
    // routes to the command window goes there, the first that routes to the
    // output window there, and every other one into a window of its own.
    // The command and output windows drop what the settings file reopened.
    void openArguments(const FilesAtLines &files);
    // Windows brought back from the last session: no recent file changes.
    void restoreAnother(const QString &path);
    void restoreMaster(const QString &path);
    // A double-click in the explorer: the command and output windows ask to
    // save a modified text before it is replaced.
    void openCommandAsked(const QString &path);
    void openOutputAsked(const QString &path);
    // The output window's save question, asked before a run replaces its
    // text: false on Cancel, and on Yes when the text was not saved.
    bool askToSaveOutput();

    // For the runs. A file shown in the command or output window, captioned
    // and in front; its name becomes the frame's only when it was read
    // (false, and the general error box, when it was not). No history
    // changes but where said.
    bool showCommandFile(const QString &path);
    // The end of a run: the history lists the file again, even when it is
    // listed already. When it cannot be read, the output file named is the
    // one the window shows. shownWhole, when the output window has shown
    // path as it grew (followRunOutput) and holds all of it as seen then:
    // the text is taken as it is, and nothing is read again.
    bool showRunOutput(const QString &path, const std::optional<FileSnapshot> &shownWhole = std::nullopt);
    // The output window shows the output file a run is writing, as it
    // grows, under the file's name.
    void followRunOutput(const QString &path);
    // Whether the output window still shows the output that path, a run's,
    // is followed into: a file the user opened during the run replaces it.
    bool showsRunOutput(const QString &path) const;
    // The output file a run writes, named from the run's start until its
    // end loads it into the output window.
    void nameRunOutput(const QString &path);
    // Text kept through a crash, shown as unsaved text in a window of its
    // kind ("command", "master", "another") over the file it was made from
    // (read first, so that a save keeps its encoding). The window, or null
    // when there is none for kind.
    TEditForm *showRecoveredText(const QString &kind, const QString &fileName, const QByteArray &text);
    // The windows whose unsaved text is kept through a crash: all but the
    // output window, which shows what the engine writes.
    QList<TEditForm *> recoverableWindows() const;
    static QString kindName(const TEditForm &window);

    // Restores a window's file at start-up (the top entry of its history);
    // a file that cannot be read leaves the window untitled.
    void reopen(TEditForm &window, const QStringList &history);

    // The places that messages name (DocumentPlaces.cpp). While a
    // command-file run holds the command and output windows, a place is
    // shown there only when they already show its file.
    void setRunLocked(bool locked) { m_runLocked = locked; }
    // Puts the caret on the file's line (from 1) and column (from 1; 0 is
    // the line's start), the line in the middle: in the window that shows
    // the file, or where a double-click in the explorer would open it,
    // after the usual save question. When the file is gone, the line past
    // its end or the window held by a run, placeStatus says so and nothing
    // moves (false).
    bool goToPlace(const QString &path, int line, int column);
    // A run's messages: a mark beside each line they name in the open
    // windows (and in a window that opens one of their files later), and
    // the list that nextMessage and previousMessage step through.
    void setRunMessages(std::vector<LocatedMessage> messages);
    void clearRunMessages();
    const std::vector<LocatedMessage> &runMessages() const { return m_messages; }
    void nextMessage();
    void previousMessage();
    // Puts the caret of window on the file's line and column, the line in
    // the middle of the view; nothing when no line is given.
    static void showPlace(TEditForm &window, const FileAtLine &place);

signals:
    // A master or other-file window was made; the frame places and wires it.
    void windowCreated(TChildForm *window);
    // A flow made another folder the current one; withFiles when a file was
    // just written there.
    void currentFolderChanged(bool withFiles);
    // A word for the status line on a place shown, or why it was not.
    void placeStatus(const QString &text);
    // The user double-clicked a line of the output window, which may name a
    // place; commandFile is the run's, for relative names.
    void outputLineActivated(const QString &line, const QString &commandFile);

private:
    // What the command and output flows differ in.
    struct Target
    {
        TEditForm &window;
        QString ShownFiles::*frameFileName;
        QString question;
        QString openTitle;
        QString filter;
        QString extension;
        QString captionPrefix;
    };
    Target commandTarget();
    Target outputTarget();
    Target targetOf(const TEditForm &window);
    void openClick(const Target &target);
    void open(const Target &target, const QString &path);
    // Loads path into the target's window and names it the shown file, or
    // leaves both as they were when the file cannot be read.
    bool show(const Target &target, const QString &path);
    // An untitled window, and no shown file.
    void makeUntitled(const Target &target);
    // The flows go on unless the user cancelled a save question.
    static bool mayReplace(TEditForm &window, const QString &question);
    void historyPicked(const Target &target, const QString &picked);
    void recordSavedAs(TEditForm &window, const QString &path);
    void anotherClosed(TAnotherEditForm *window);
    TAnotherEditForm *newAnother(const QString &path);
    TMasterEditForm *newMaster(const QString &path);
    void colourKeyWords(TEditForm &window);
    QList<TEditForm *> editorWindows() const;
    TEditForm *windowShowing(const QString &path) const;
    // The window the file opens in, or null (and placeStatus) when it did not.
    TEditForm *openForPlace(const QString &path);
    void markMessages(TEditForm &window) const;
    void stepMessages(int step);
    void outputLineChosen(int line);
    TMasterEditForm *createMaster();
    TAnotherEditForm *createAnother();

    WindowServices m_services;
    ShownFiles &m_files;
    TCommandEditForm &m_command;
    TOutputEditForm &m_output;
    QWidget *m_dialogParent;
    QFont m_screenFont;
    QPointer<TMasterEditForm> m_master;
    QAction *m_submitMaster = nullptr;
    QList<TAnotherEditForm *> m_another;
    SharedKeyWordHints m_keyWordHints;
    bool m_runLocked = false;
    std::vector<LocatedMessage> m_messages;
    // The message last stepped to, -1 before the first.
    int m_messageAt = -1;
};
