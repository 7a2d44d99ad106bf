#include "explorer/FileListBox.h"

#include "explorer/ExplorerRules.h"

#include <QDir>

FileListBox::FileListBox(QWidget *parent) : QListWidget(parent)
{
    // A folder may hold a hundred thousand files: every row has one height,
    // so the view need not measure them.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void FileListBox::setDirectory(const QString &path)
{
    m_directory = path;
    reread();
}

void FileListBox::setMask(const QString &mask)
{
    m_mask = mask;
    reread();
}

bool FileListBox::reread()
{
    clear();
    m_names.clear();
    if (m_directory.isEmpty())
        return true;
    const QString problem = Explorer::folderProblem(m_directory);
    if (!problem.isEmpty()) {
        emit cannotRead(m_directory, problem);
        return false;
    }

    m_names = Explorer::folderEntries(m_directory, Explorer::EntryKind::Files, Explorer::FileMask(m_mask));

    QStringList shown;
    shown.reserve(m_names.size());
    for (const QString &name : std::as_const(m_names))
        shown.append(Explorer::displayName(name));
    addItems(shown);
    return true;
}

QString FileListBox::fileName() const
{
    const QList<QListWidgetItem *> selected = selectedItems();
    if (selected.isEmpty())
        return QString();
    const int index = row(selected.constFirst());
    if (index < 0 || index >= m_names.size())
        return QString();
    return QDir(m_directory).filePath(m_names.at(index));
}
