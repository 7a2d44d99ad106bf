#include "ui/ChildMenus.h"

#include "core/FileNames.h"
#include "core/PathHelpers.h"
#include "ui/ChildForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
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

namespace {

// The key most other programs use, after the item's own key, which stays first.
void addSecondShortcut(QAction *action, const QKeySequence &second)
{
    QList<QKeySequence> keys = action->shortcuts();
    keys.append(second);
    action->setShortcuts(keys);
}

void addTextCommands(EditMenu &edit)
{
    edit.menu->addSeparator()->setObjectName(QStringLiteral("N12"));
    edit.undo = addItem(edit.menu, QStringLiteral("Undo1"), QStringLiteral("&Undo"),
                        QKeySequence(Qt::CTRL | Qt::Key_Z));
    edit.redo = addItem(edit.menu, QStringLiteral("Redo1"), QStringLiteral("&Redo"),
                        QKeySequence(Qt::CTRL | Qt::Key_Y));
    addSecondShortcut(edit.redo, QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Z));
    edit.menu->addSeparator()->setObjectName(QStringLiteral("N13"));
    edit.find = addItem(edit.menu, QStringLiteral("Find1"), QStringLiteral("&Find..."),
                        QKeySequence(Qt::CTRL | Qt::Key_F));
    edit.findNext = addItem(edit.menu, QStringLiteral("FindNext1"), QStringLiteral("Find &Next"),
                            QKeySequence(Qt::CTRL | Qt::Key_G));
    edit.findPrevious = addItem(edit.menu, QStringLiteral("FindPrevious1"), QStringLiteral("Find &Previous"),
                                QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_G));
    edit.replace = addItem(edit.menu, QStringLiteral("Replace1"), QStringLiteral("&Replace..."),
                           QKeySequence(Qt::CTRL | Qt::Key_H));
    edit.goToLine = addItem(edit.menu, QStringLiteral("GoToLine1"), QStringLiteral("&Go to Line..."),
                            QKeySequence(Qt::CTRL | Qt::Key_L));
    edit.menu->addSeparator()->setObjectName(QStringLiteral("N14"));
    edit.lineNumbers = addItem(edit.menu, QStringLiteral("LineNumbers1"), QStringLiteral("Line &Numbers"));
    edit.lineNumbers->setCheckable(true);
}

} // namespace

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
    addSecondShortcut(file.save, QKeySequence(Qt::CTRL | Qt::Key_S));
    addSecondShortcut(file.openCommand, QKeySequence(Qt::CTRL | Qt::Key_O));
    file.saveAs =
        addItem(file.menu, QStringLiteral("Saveas1"), QStringLiteral("Save &As..."), items.saveAsShortcut);
    file.save->setEnabled(items.canSave);
    file.saveAs->setEnabled(items.canSave);
    file.print = addItem(file.menu, QStringLiteral("Print1"), QStringLiteral("&Print..."));
    addSecondShortcut(file.print, QKeySequence(Qt::CTRL | Qt::Key_P));
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
    addSecondShortcut(exit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    file.menu->addSeparator()->setObjectName(QStringLiteral("N15"));
    file.recentFiles = file.menu->addMenu(QStringLiteral("Recent Files"));
    file.recentFiles->setObjectName(QStringLiteral("RecentFiles1"));
    file.recentFiles->menuAction()->setObjectName(QStringLiteral("RecentFiles1"));
    file.recentFiles->setToolTipsVisible(true);
    // Read as it opens: another window, or another Ostrel, may have added
    // to the list, and a file may have gone since.
    QMenu *recent = file.recentFiles;
    QObject::connect(recent, &QMenu::aboutToShow, owner,
                     [recent, owner] { fillRecentFiles(recent, owner, RecentFiles::read()); });

    if (items.newForwards)
        QObject::connect(newCommand, &QAction::triggered, owner, &TChildForm::newCommandClicked);
    QObject::connect(file.openCommand, &QAction::triggered, owner, &TChildForm::openCommandClicked);
    QObject::connect(file.openOutput, &QAction::triggered, owner, &TChildForm::openOutputClicked);
    QObject::connect(openAnother, &QAction::triggered, owner, &TChildForm::openAnotherClicked);
    QObject::connect(preferences, &QAction::triggered, owner, &TChildForm::preferencesClicked);
    QObject::connect(exit, &QAction::triggered, owner, &TChildForm::exitClicked);
    return file;
}

void fillRecentFiles(QMenu *menu, TChildForm *owner, const QList<RecentFiles::Entry> &entries)
{
    menu->clear();
    QStringList paths;
    for (const RecentFiles::Entry &entry : entries)
        paths.append(entry.path);
    const QStringList labels = RecentFiles::menuLabels(paths, QDir::homePath());
    for (int i = 0; i < entries.size(); ++i) {
        const RecentFiles::Entry &entry = entries.at(i);
        QAction *item = menu->addAction(labels.at(i));
        item->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        item->setToolTip(QDir::toNativeSeparators(FileNames::forDisplay(entry.path)));
        item->setEnabled(Paths::fileExists(entry.path));
        QObject::connect(item, &QAction::triggered, owner,
                         [owner, entry] { emit owner->recentFileClicked(entry.path, entry.master); });
    }
    menu->addSeparator();
    QAction *clear = addItem(menu, QStringLiteral("ClearRecentFiles1"), QStringLiteral("Clear List"));
    clear->setEnabled(!entries.isEmpty());
    QObject::connect(clear, &QAction::triggered, menu, [] { RecentFiles::clear(); });
}

EditMenu createEditMenu(TChildForm *owner, bool withTextCommands)
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
    if (withTextCommands)
        addTextCommands(edit);
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
