#pragma once

#include "core/FrameState.h"
#include "documents/WindowServices.h"
#include "editor/KeyWords.h"

#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

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

    // The help file's keywords, coloured in the command and master windows.
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
    // The first command-line argument, when it names an existing file.
    void openArgument(const QString &path);
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
    // one the window shows.
    bool showRunOutput(const QString &path);
    // The output file a run writes, named from the run's start until its
    // end loads it into the output window.
    void nameRunOutput(const QString &path);
    // Restores a window's file at start-up (the top entry of its history);
    // a file that cannot be read leaves the window untitled.
    void reopen(TEditForm &window, const QStringList &history);

signals:
    // A master or other-file window was made; the frame places and wires it.
    void windowCreated(TChildForm *window);
    // A flow made another folder the current one; withFiles when a file was
    // just written there.
    void currentFolderChanged(bool withFiles);

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
    void colourKeyWords(TEditForm &window);

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
};
