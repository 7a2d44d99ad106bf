#pragma once

#include <QHash>
#include <QStringList>
#include <QTreeWidget>

class FolderWatch;

// The folder list: the path from the volume's root down to the shown folder,
// then that folder's subfolders. Opening an entry (double-click or Enter)
// enters that folder, which becomes the process's current folder too. The
// list follows the shown folder: a subfolder made or removed there shows
// within a moment, and the selected entry stays selected.
class DirectoryListBox : public QTreeWidget
{
    Q_OBJECT

public:
    explicit DirectoryListBox(QWidget *parent = nullptr);

    QString directory() const { return m_directory; }

    // Enters path and shows it. A folder already shown is left alone. When
    // the folder cannot be entered, cannotEnter is signalled, false returned,
    // and the list and the current folder stay as they were.
    bool setDirectory(const QString &path);

    // Enters the folder last shown on that drive, or its root.
    bool setDrive(const QString &root);

    // The folders of the entries, top to bottom.
    QStringList entryPaths() const;
    // Opens the entry at row, as a double-click on it would.
    void openEntry(int row);

signals:
    void directoryChanged(const QString &path);
    void cannotEnter(const QString &path, const QString &reason);

protected:
    // A name cut off by the narrow window shows whole in a tool tip.
    bool viewportEvent(QEvent *event) override;

private:
    QList<QTreeWidgetItem *> entries() const;
    void openItem(QTreeWidgetItem *item);
    void rebuild();
    void addSubfolders(const QStringList &names);
    void folderChanged();

    QString m_directory;
    QTreeWidgetItem *m_shownItem = nullptr;
    QStringList m_subfolders;
    QHash<QString, QString> m_lastOnDrive;
    FolderWatch *m_watch = nullptr;
};
