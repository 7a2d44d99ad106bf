#include "explorer/FileListBox.h"

#include "explorer/ExplorerRules.h"
#include "explorer/FolderWatch.h"

#include <QDir>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

namespace {

// Changing more rows than this one by one is slower than filling the list anew.
qsizetype maxRowChanges(qsizetype rows)
{
    return std::max<qsizetype>(256, rows / 16);
}

} // namespace

FileListBox::FileListBox(QWidget *parent) : QListWidget(parent), m_watch(new FolderWatch(this))
{
    // A folder may hold a hundred thousand files: every row has one height,
    // so the view need not measure them.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_watch, &FolderWatch::changed, this, [this] { update(true); });
}

void FileListBox::setDirectory(const QString &path)
{
    m_directory = path;
    m_names.clear();
    clear();
    m_watch->setFolder(m_directory);
    reread();
}

void FileListBox::setMask(const QString &mask)
{
    m_mask = mask;
    m_names.clear();
    clear();
    reread();
}

bool FileListBox::reread()
{
    return update(false);
}

bool FileListBox::update(bool quiet)
{
    if (m_directory.isEmpty()) {
        rebuild({});
        return true;
    }
    const QString problem = Explorer::folderProblem(m_directory);
    if (!problem.isEmpty()) {
        rebuild({});
        if (!quiet)
            emit cannotRead(m_directory, problem);
        return false;
    }
    const QStringList names =
        Explorer::folderEntries(m_directory, Explorer::EntryKind::Files, Explorer::FileMask(m_mask));
    if (!applyChanges(names)) {
        // The selected file stays selected, and the view where it was.
        const int selected = selectedRow();
        const QString selectedName = selected >= 0 ? m_names.at(selected) : QString();
        const int scrolled = verticalScrollBar()->value();
        rebuild(names);
        const qsizetype row = selected >= 0 ? m_names.indexOf(selectedName) : -1;
        if (row >= 0)
            setCurrentRow(int(row));
        verticalScrollBar()->setValue(scrolled);
    }
    return true;
}

bool FileListBox::applyChanges(const QStringList &names)
{
    // Both lists are in list order, so one walk down both finds the rows to
    // take out and to put in.
    qsizetype changes = 0;
    for (qsizetype i = 0, j = 0; i < m_names.size() || j < names.size();) {
        if (i < m_names.size() && j < names.size() && m_names.at(i) == names.at(j)) {
            ++i, ++j;
            continue;
        }
        if (++changes > maxRowChanges(m_names.size()))
            return false;
        if (j == names.size() || (i < m_names.size() && Explorer::listsBefore(m_names.at(i), names.at(j))))
            ++i;
        else
            ++j;
    }
    if (changes == 0)
        return true;

    int row = 0;
    for (qsizetype i = 0, j = 0; i < m_names.size() || j < names.size();) {
        if (i < m_names.size() && j < names.size() && m_names.at(i) == names.at(j)) {
            ++i, ++j, ++row;
        } else if (j == names.size() ||
                   (i < m_names.size() && Explorer::listsBefore(m_names.at(i), names.at(j)))) {
            // The view would select the next file in place of one that
            // went; a file the user did not choose must not be opened.
            if (item(row)->isSelected()) {
                clearSelection();
                setCurrentIndex(QModelIndex());
            }
            delete takeItem(row);
            ++i;
        } else {
            insertItem(row, Explorer::displayName(names.at(j)));
            ++j, ++row;
        }
    }
    m_names = names;
    return true;
}

void FileListBox::rebuild(const QStringList &names)
{
    clear();
    m_names = names;
    QStringList shown;
    shown.reserve(m_names.size());
    for (const QString &name : std::as_const(m_names))
        shown.append(Explorer::displayName(name));
    addItems(shown);
}

int FileListBox::selectedRow() const
{
    const QList<QListWidgetItem *> selected = selectedItems();
    const int index = selected.isEmpty() ? -1 : row(selected.constFirst());
    return index < m_names.size() ? index : -1;
}

QString FileListBox::fileName() const
{
    const int index = selectedRow();
    return index < 0 ? QString() : QDir(m_directory).filePath(m_names.at(index));
}

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !selectedItems().isEmpty()) {
        event->accept();
        emit openRequested();
        return;
    }
    QListWidget::keyPressEvent(event);
}
