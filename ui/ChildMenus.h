#pragma once

#include "core/RecentFiles.h"

#include <QKeySequence>
#include <QString>

class QAction;
class QMenu;
class TChildForm;

// The File and Edit menus that every child window brings to the frame's menu
// bar. Items that concern the whole program (new, open, preferences, exit,
// the fonts) raise the window's signals for the frame; the window connects the
// rest (save, print, the edit commands) itself.
namespace ChildMenus {

struct FileItems
{
    QString newCaption = QStringLiteral("New Command File...");
    // The explorer's "New..." is there but does nothing.
    bool newForwards = true;
    QKeySequence saveShortcut = QKeySequence(Qt::Key_F6);
    QKeySequence saveAsShortcut;
    // Windows without a file of their own keep Save and Save As disabled.
    bool canSave = true;
    bool openMaster = false;
    // Windows that print also offer the print preview and the PDF export.
    bool canPrint = true;
};

struct FileMenu
{
    QMenu *menu = nullptr;
    QAction *openCommand = nullptr;
    QAction *openOutput = nullptr;
    QAction *save = nullptr;
    QAction *saveAs = nullptr;
    QAction *print = nullptr;
    QAction *printerSetup = nullptr;
    QAction *printPreview = nullptr; // null in windows that do not print
    QAction *exportPdf = nullptr;
    // The files last opened, filled as it opens; a pick raises the window's
    // recentFileClicked.
    QMenu *recentFiles = nullptr;
};

struct EditMenu
{
    QMenu *menu = nullptr;
    QAction *cut = nullptr;
    QAction *copy = nullptr;
    QAction *paste = nullptr;
    QAction *selectAll = nullptr;
    // The commands of windows that edit a text; null in the others.
    QAction *undo = nullptr;
    QAction *redo = nullptr;
    QAction *find = nullptr;
    QAction *findNext = nullptr;
    QAction *findPrevious = nullptr;
    QAction *replace = nullptr;
    QAction *goToLine = nullptr;
    QAction *lineNumbers = nullptr;
};

QAction *addItem(QMenu *menu, const QString &name, const QString &caption,
                 const QKeySequence &shortcut = QKeySequence());

FileMenu createFileMenu(TChildForm *owner, const FileItems &items);
// The Recent Files menu's items for entries, newest first: a file that is
// gone is shown but cannot be picked; Clear List empties the list.
void fillRecentFiles(QMenu *menu, TChildForm *owner, const QList<RecentFiles::Entry> &entries);

// withTextCommands: undo, redo, find, replace, go to line and line numbers
// follow the items every window has.
EditMenu createEditMenu(TChildForm *owner, bool withTextCommands = false);

// As the Edit menu opens: Paste is enabled exactly when the clipboard holds
// text, Cut and Copy exactly when something is selected.
void enableEditItems(const EditMenu &edit, bool hasSelection);

} // namespace ChildMenus
