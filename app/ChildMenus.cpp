#include "app/ChildMenus.h"

#include "app/MDIFrame.h"

#include <QAction>
#include <QMenu>

namespace ChildMenus {

QAction *addItem(QMenu *menu, const QString &name, const QString &caption, const QKeySequence &shortcut)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

FileMenu createFileMenu(QWidget *owner, const FileItems &items)
{
    FileMenu file;
    file.menu = new QMenu(QStringLiteral("&File"), owner);
    file.menu->setObjectName(QStringLiteral("File2"));
    QAction *newCommand = addItem(file.menu, QStringLiteral("New1"), items.newCaption);
    QMenu *open = file.menu->addMenu(QStringLiteral("Open"));
    open->setObjectName(QStringLiteral("Open4"));
    open->menuAction()->setObjectName(QStringLiteral("Open4"));
    file.openCommand = addItem(open, QStringLiteral("OpenCommand1"), QStringLiteral("Open &Command File..."),
                               QKeySequence(Qt::Key_F2));
    file.openOutput = addItem(open, QStringLiteral("OpenOutput1"), QStringLiteral("Open Output File..."),
                              QKeySequence(Qt::Key_F3));
    QAction *openAnother = addItem(open, QStringLiteral("OpenAnotherFile1"),
                                   QStringLiteral("Open Another File..."), QKeySequence(Qt::Key_F4));
    if (items.openMaster) {
        QAction *openMaster =
            addItem(open, QStringLiteral("OpenMasterFile1"), QStringLiteral("Open Master File..."));
        QObject::connect(openMaster, &QAction::triggered, owner, [] { FrameForm->OpenMasterClick(); });
    }
    file.save = addItem(file.menu, QStringLiteral("Save1"), QStringLiteral("&Save"), items.saveShortcut);
    file.saveAs =
        addItem(file.menu, QStringLiteral("Saveas1"), QStringLiteral("Save &As..."), items.saveAsShortcut);
    file.print = addItem(file.menu, QStringLiteral("Print1"), QStringLiteral("&Print..."));
    file.printerSetup =
        addItem(file.menu, QStringLiteral("Printersetup1"), QStringLiteral("Printer setup..."));
    file.menu->addSeparator();
    QAction *preferences = addItem(file.menu, QStringLiteral("Preferences2"), QStringLiteral("Preferences"));
    file.menu->addSeparator();
    QAction *exit = addItem(file.menu, QStringLiteral("Exit1"), QStringLiteral("E&xit"));

    QObject::connect(newCommand, &QAction::triggered, owner, [] { FrameForm->NewCommandClick(); });
    QObject::connect(file.openCommand, &QAction::triggered, owner, [] { FrameForm->OpenCommandClick(); });
    QObject::connect(file.openOutput, &QAction::triggered, owner, [] { FrameForm->OpenOutputClick(); });
    QObject::connect(openAnother, &QAction::triggered, owner, [] { FrameForm->OpenAnotherClick(); });
    QObject::connect(preferences, &QAction::triggered, owner, [] { FrameForm->PreferencesClick(); });
    QObject::connect(exit, &QAction::triggered, owner, [] { FrameForm->ExitClick(); });
    return file;
}

EditMenu createEditMenu(QWidget *owner)
{
    EditMenu edit;
    edit.menu = new QMenu(QStringLiteral("&Edit"), owner);
    edit.menu->setObjectName(QStringLiteral("Edit2"));
    edit.cut = addItem(edit.menu, QStringLiteral("Cut1"), QStringLiteral("Cu&t"),
                       QKeySequence(Qt::CTRL | Qt::Key_X));
    edit.copy = addItem(edit.menu, QStringLiteral("Copy1"), QStringLiteral("&Copy"),
                        QKeySequence(Qt::CTRL | Qt::Key_C));
    edit.paste = addItem(edit.menu, QStringLiteral("Paste1"), QStringLiteral("&Paste"),
                         QKeySequence(Qt::CTRL | Qt::Key_V));
    edit.selectAll = addItem(edit.menu, QStringLiteral("Selectall1"), QStringLiteral("Select &all"),
                             QKeySequence(Qt::CTRL | Qt::Key_A));
    edit.menu->addSeparator();
    QAction *screenFont =
        addItem(edit.menu, QStringLiteral("ScreenFont1"), QStringLiteral("&Screen Font..."));
    QAction *printFont = addItem(edit.menu, QStringLiteral("PrintFont1"), QStringLiteral("&Print Font..."));
    QObject::connect(screenFont, &QAction::triggered, owner, [] { FrameForm->ScreenFontClick(); });
    QObject::connect(printFont, &QAction::triggered, owner, [] { FrameForm->PrintFontClick(); });
    return edit;
}

} // namespace ChildMenus
