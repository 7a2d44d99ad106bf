#pragma once

#include <QKeySequence>
#include <QString>

class QAction;
class QMenu;
class QWidget;

// The File and Edit menus that the document and help windows bring to the
// frame's menu bar. Items that concern the whole program (new, open,
// preferences, exit, fonts) go straight to the frame; the window connects the
// rest itself.
namespace ChildMenus {

struct FileItems
{
    QString newCaption = QStringLiteral("New Command File...");
    QKeySequence saveShortcut = QKeySequence(Qt::Key_F6);
    QKeySequence saveAsShortcut;
    bool openMaster = false;
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
};

struct EditMenu
{
    QMenu *menu = nullptr;
    QAction *cut = nullptr;
    QAction *copy = nullptr;
    QAction *paste = nullptr;
    QAction *selectAll = nullptr;
};

QAction *addItem(QMenu *menu, const QString &name, const QString &caption,
                 const QKeySequence &shortcut = QKeySequence());

FileMenu createFileMenu(QWidget *owner, const FileItems &items);
EditMenu createEditMenu(QWidget *owner);

} // namespace ChildMenus
