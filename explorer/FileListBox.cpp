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

    // Unsorted, so that Qt need not look at each file; the list sorts names.
    const QStringList all = QDir(m_directory).entryList(QDir::Files, QDir::NoSort);
    const Explorer::FileMask mask(m_mask);
    for (const QString &name : all) {
        if (mask.matches(name))
            m_names.append(name);
    }
    Explorer::sortByName(m_names);

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
