#pragma once

#include "documents/WindowServices.h"
#include "ui/ChildForm.h"
#include "ui/ChildMenus.h"

class DirectoryListBox;
class DriveComboBox;
class FileListBox;
class FilterComboBox;

// The narrow "Directory" window: drive, folder, filter and file lists over
// the process's current folder. A double-clicked file goes to the command,
// output or a new other-file window by its extension.
//
// Like every child window it never calls the frame: a double-click asks for
// the file to be opened with a signal, and the window is destroyed when closed.
class TExplorerForm : public TChildForm
{
    Q_OBJECT

public:
    // The filter list is built once, here, from the extensions in force; a
    // double-click goes by the extensions in force at that moment.
    explicit TExplorerForm(const WindowServices &services, QWidget *parent = nullptr);

    QList<QMenu *> mergedMenus() const override;

    // Shows the process's current folder and its drive.
    void FollowCurrentDirectory();
    // Reads the file list's folder again, so that a file just written shows.
    void RereadFileList();

    // The file-type choice, counting from 0; an index the list does not hold
    // changes nothing.
    int filterIndex() const;
    void setFilterIndex(int index);

    // Opens the selected file by its extension; nothing when none is selected.
    void FileListDblClick();

signals:
    void openCommandRequested(const QString &path);
    void openOutputRequested(const QString &path);
    void openAnotherRequested(const QString &path);

private:
    void createLists();
    void createMenus();

    void DriveComboBoxOnChange(const QString &root);
    void DirectoryListBoxOnChange(const QString &path);
    void showCannotEnter(const QString &path, const QString &reason);

    WindowServices m_services;

    DriveComboBox *m_driveBox = nullptr;
    DirectoryListBox *m_directoryBox = nullptr;
    FilterComboBox *m_filterBox = nullptr;
    FileListBox *m_fileBox = nullptr;

    ChildMenus::FileMenu m_fileMenu;
    ChildMenus::EditMenu m_editMenu;
};
