#include "explorer/DirectoryListBox.h"

#include "explorer/DriveComboBox.h"
#include "explorer/ExplorerRules.h"
#include "explorer/FolderWatch.h"

#include <QDir>
#include <QFileInfo>
#include <QHelpEvent>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

namespace {

const int PathRole = Qt::UserRole;

QString absoluteFolder(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The folders from the volume's root down to folder, root first.
QStringList pathFromRoot(const QString &folder, const QString &root)
{
    QStringList chain;
    QString step = folder;
    while (true) {
        chain.prepend(step);
        if (step == root || QDir(step).isRoot())
            break;
        step = QFileInfo(step).path();
    }
    return chain;
}

} // namespace

DirectoryListBox::DirectoryListBox(QWidget *parent) : QTreeWidget(parent), m_watch(new FolderWatch(this))
{
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setIndentation(10);
    connect(this, &QTreeWidget::itemActivated, this, &DirectoryListBox::openItem);
    connect(m_watch, &FolderWatch::changed, this, &DirectoryListBox::folderChanged);
}

bool DirectoryListBox::setDirectory(const QString &path)
{
    const QString target = absoluteFolder(path);
    if (target == m_directory)
        return true;
    QString problem = Explorer::folderProblem(target);
    if (problem.isEmpty() && !QDir::setCurrent(target))
        problem = QStringLiteral("it cannot be entered");
    if (!problem.isEmpty()) {
        emit cannotEnter(target, problem);
        return false;
    }
    m_directory = target;
    m_lastOnDrive.insert(DriveComboBox::driveOf(target), target);
    m_watch->setFolder(m_directory);
    rebuild();
    emit directoryChanged(m_directory);
    return true;
}

bool DirectoryListBox::setDrive(const QString &root)
{
    const QString last = m_lastOnDrive.value(root);
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return setDirectory(last);
    return setDirectory(root);
}

QStringList DirectoryListBox::entryPaths() const
{
    QStringList paths;
    for (const QTreeWidgetItem *item : entries())
        paths.append(item->data(0, PathRole).toString());
    return paths;
}

void DirectoryListBox::openEntry(int row)
{
    const QList<QTreeWidgetItem *> items = entries();
    if (row >= 0 && row < items.size())
        openItem(items.at(row));
}

bool DirectoryListBox::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTreeWidget::viewportEvent(event);
    auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    const QRect shown = visualRect(index).intersected(viewport()->rect());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    const bool cutOff =
        index.isValid() && itemDelegateForIndex(index)->sizeHint(option, index).width() > shown.width();
    if (cutOff)
        QToolTip::showText(help->globalPos(), index.data(Qt::DisplayRole).toString(), viewport(), shown);
    else
        QToolTip::hideText();
    return true;
}

QList<QTreeWidgetItem *> DirectoryListBox::entries() const
{
    // The path from the root is a chain of single children down to the shown
    // folder, whose children are its subfolders.
    QList<QTreeWidgetItem *> items;
    QTreeWidgetItem *link = topLevelItemCount() > 0 ? topLevelItem(0) : nullptr;
    while (link) {
        items.append(link);
        if (link == m_shownItem) {
            for (int i = 0; i < link->childCount(); ++i)
                items.append(link->child(i));
            break;
        }
        link = link->childCount() > 0 ? link->child(0) : nullptr;
    }
    return items;
}

void DirectoryListBox::openItem(QTreeWidgetItem *item)
{
    if (item)
        setDirectory(item->data(0, PathRole).toString());
}

void DirectoryListBox::rebuild()
{
    m_shownItem = nullptr;
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);

    const QString root = DriveComboBox::driveOf(m_directory);
    QTreeWidgetItem *parent = nullptr;
    bool first = true;
    for (const QString &folder : pathFromRoot(m_directory, absoluteFolder(root))) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
        item->setText(0, Explorer::displayName(first ? folder : QFileInfo(folder).fileName()));
        item->setData(0, PathRole, folder);
        item->setIcon(0, openIcon);
        item->setExpanded(true);
        parent = item;
        first = false;
    }

    parent->setExpanded(true);
    m_shownItem = parent;
    addSubfolders(Explorer::folderEntries(m_directory, Explorer::EntryKind::Folders));
    setCurrentItem(parent);
    scrollToItem(parent);
}

void DirectoryListBox::addSubfolders(const QStringList &names)
{
    m_subfolders = names;
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QDir here(m_directory);
    QList<QTreeWidgetItem *> children;
    children.reserve(names.size());
    for (const QString &name : names) {
        auto *item = new QTreeWidgetItem(QStringList(Explorer::displayName(name)));
        item->setData(0, PathRole, here.filePath(name));
        item->setIcon(0, closedIcon);
        children.append(item);
    }
    m_shownItem->addChildren(children);
}

void DirectoryListBox::folderChanged()
{
    const QStringList names = Explorer::folderEntries(m_directory, Explorer::EntryKind::Folders);
    if (!m_shownItem || names == m_subfolders)
        return;
    // The entry the user selected stays selected, and the view where it was.
    const QTreeWidgetItem *current = currentItem();
    const QString selected = current ? current->data(0, PathRole).toString() : QString();
    const int scrolled = verticalScrollBar()->value();
    qDeleteAll(m_shownItem->takeChildren());
    addSubfolders(names);
    QTreeWidgetItem *again = m_shownItem;
    for (QTreeWidgetItem *entry : entries()) {
        if (entry->data(0, PathRole).toString() == selected)
            again = entry;
    }
    setCurrentItem(again);
    verticalScrollBar()->setValue(scrolled);
}
