#include "explorer/DirectoryListBox.h"

#include "explorer/DriveComboBox.h"
#include "explorer/ExplorerRules.h"

#include <QDir>
#include <QFileInfo>
#include <QHelpEvent>
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

DirectoryListBox::DirectoryListBox(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setIndentation(10);
    connect(this, &QTreeWidget::itemActivated, this, &DirectoryListBox::openItem);
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
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirIcon);

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

    const QStringList names = Explorer::folderEntries(m_directory, Explorer::EntryKind::Folders);
    const QDir here(m_directory);
    QList<QTreeWidgetItem *> children;
    children.reserve(names.size());
    for (const QString &name : names) {
        auto *item = new QTreeWidgetItem(QStringList(Explorer::displayName(name)));
        item->setData(0, PathRole, here.filePath(name));
        item->setIcon(0, closedIcon);
        children.append(item);
    }
    parent->addChildren(children);
    parent->setExpanded(true);
    m_shownItem = parent;
    setCurrentItem(parent);
    scrollToItem(parent);
}
