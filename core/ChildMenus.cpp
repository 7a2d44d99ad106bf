#include "core/ChildMenus.h"

#include "core/ChildForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>

namespace ChildMenus {

QAction *addItem(QMenu *menu, const QString &name, const QString &caption, const QKeySequence &shortcut)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

FileMenu createFileMenu(TChildForm *owner, const FileItems &items)
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
        QObject::connect(openMaster, &QAction::triggered, owner, &TChildForm::openMasterClicked);
    }
    file.save = addItem(file.menu, QStringLiteral("Save1"), QStringLiteral("&Save"), items.saveShortcut);
    file.saveAs =
        addItem(file.menu, QStringLiteral("Saveas1"), QStringLiteral("Save &As..."), items.saveAsShortcut);
    file.save->setEnabled(items.canSave);
    file.saveAs->setEnabled(items.canSave);
    file.print = addItem(file.menu, QStringLiteral("Print1"), QStringLiteral("&Print..."));
    file.printerSetup =
        addItem(file.menu, QStringLiteral("Printersetup1"), QStringLiteral("Printer setup..."));
    if (items.canPrint) {
        file.printPreview =
            addItem(file.menu, QStringLiteral("PrintPreview1"), QStringLiteral("Print Pre&view..."));
        file.exportPdf =
            addItem(file.menu, QStringLiteral("ExportPdf1"), QStringLiteral("Export as P&DF..."));
    }
    file.menu->addSeparator()->setObjectName(QStringLiteral("N8"));
    QAction *preferences = addItem(file.menu, QStringLiteral("Preferences2"), QStringLiteral("Preferences"));
    file.menu->addSeparator()->setObjectName(QStringLiteral("N6"));
    QAction *exit = addItem(file.menu, QStringLiteral("Exit1"), QStringLiteral("E&xit"));

    if (items.newForwards)
        QObject::connect(newCommand, &QAction::triggered, owner, &TChildForm::newCommandClicked);
    QObject::connect(file.openCommand, &QAction::triggered, owner, &TChildForm::openCommandClicked);
    QObject::connect(file.openOutput, &QAction::triggered, owner, &TChildForm::openOutputClicked);
    QObject::connect(openAnother, &QAction::triggered, owner, &TChildForm::openAnotherClicked);
    QObject::connect(preferences, &QAction::triggered, owner, &TChildForm::preferencesClicked);
    QObject::connect(exit, &QAction::triggered, owner, &TChildForm::exitClicked);
    return file;
}

EditMenu createEditMenu(TChildForm *owner)
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
    edit.menu->addSeparator()->setObjectName(QStringLiteral("N11"));
    QAction *screenFont =
        addItem(edit.menu, QStringLiteral("ScreenFont1"), QStringLiteral("&Screen Font..."));
    QAction *printFont = addItem(edit.menu, QStringLiteral("PrintFont1"), QStringLiteral("&Print Font..."));
    QObject::connect(screenFont, &QAction::triggered, owner, &TChildForm::screenFontClicked);
    QObject::connect(printFont, &QAction::triggered, owner, &TChildForm::printFontClicked);
    return edit;
}

void enableEditItems(const EditMenu &edit, bool hasSelection)
{
    const QMimeData *clip = QApplication::clipboard()->mimeData();
    edit.paste->setEnabled(clip && clip->hasText());
    edit.cut->setEnabled(hasSelection);
    edit.copy->setEnabled(hasSelection);
}

} // namespace ChildMenus
