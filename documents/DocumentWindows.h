#pragma once

#include "core/FrameState.h"
#include "documents/KeyWords.h"
#include "documents/WindowServices.h"

#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

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
class DocumentWindows : public QObject
{
    Q_OBJECT

public:
    // command and output live as long as the frame; files are the names the
    // flows keep equal to theirs. dialogParent owns the flows' messages.
    DocumentWindows(const WindowServices &services, ShownFiles &files, TCommandEditForm &command,
                    TOutputEditForm &output, QWidget *dialogParent, QObject *parent = nullptr);

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
        QString &frameFileName;
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
    QList<TAnotherEditForm *> m_another;
    SharedKeyWordHints m_keyWordHints;
};
