#pragma once

#include "app/ChildForm.h"

#include <QKeySequence>

class DirectoryListBox;
class DriveComboBox;
class FileListBox;
class FilterComboBox;
class QAction;
class UserDialogs;

// The narrow "Directory" window: drive, folder, filter and file lists over
// the process's current folder. A double-clicked file goes to the command,
// output or a new other-file window by its extension.
//
// It never calls the frame: everything the frame must do is a signal, and
// the window is destroyed when closed (watch QObject::destroyed).
class TExplorerForm : public TChildForm
{
    Q_OBJECT

public:
    // The filter list is built from these extensions once, here; the routing
    // of double-clicks uses whatever setFileExtensions last gave.
    TExplorerForm(UserDialogs &dialogs, const QString &commandExt, const QString &outputExt,
                  QWidget *parent = nullptr);

    QList<QMenu *> mergedMenus() const override;

    // The settings changed (preferences): double-clicks follow at once, the
    // filter list keeps what it was made with.
    void setFileExtensions(const QString &commandExt, const QString &outputExt);

    // Shows the process's current folder and its drive.
    void FollowCurrentDirectory();
    // Reads the file list's folder again, so that a file just written shows.
    void RereadFileList();

    // Opens the selected file by its extension; nothing when none is selected.
    void FileListDblClick();

signals:
    void openCommandRequested(const QString &path);
    void openOutputRequested(const QString &path);
    void openAnotherRequested(const QString &path);
    // The user entered a folder or drive here, which is now the current one.
    void currentDirectoryChanged();

    // Menu items that belong to the frame.
    void openCommandClicked();
    void openOutputClicked();
    void openAnotherClicked();
    void printerSetupClicked();
    void preferencesClicked();
    void exitClicked();
    void screenFontClicked();
    void printFontClicked();

private:
    void createLists();
    void createMenus();
    QAction *addItem(QMenu *menu, const char *name, const QString &caption,
                     const QKeySequence &shortcut = QKeySequence());

    void DriveComboBoxOnChange(const QString &root);
    void DirectoryListBoxOnChange(const QString &path);
    void showCannotEnter(const QString &path, const QString &reason);

    UserDialogs &m_dialogs;
    QString m_commandExt;
    QString m_outputExt;
    // Set while the frame's change of folder is being shown, which is not
    // the window's own change.
    bool m_following = false;

    DriveComboBox *m_driveBox = nullptr;
    DirectoryListBox *m_directoryBox = nullptr;
    FilterComboBox *m_filterBox = nullptr;
    FileListBox *m_fileBox = nullptr;

    QMenu *m_fileMenu = nullptr;
    QMenu *m_editMenu = nullptr;
};
