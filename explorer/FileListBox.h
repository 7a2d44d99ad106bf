#pragma once

#include <QListWidget>
#include <QStringList>

class FolderWatch;

// The files of one folder whose names pass the mask, in name order. Folders,
// hidden files and special files (devices, sockets, broken links) are left out.
// The list follows the folder: a file that appears or goes shows within a
// moment, and the selected file stays selected.
class FileListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit FileListBox(QWidget *parent = nullptr);

    QString directory() const { return m_directory; }
    // Both read the folder again.
    void setDirectory(const QString &path);
    void setMask(const QString &mask);
    QString mask() const { return m_mask; }

    // Reads the folder again, keeping the selection; a folder that has gone
    // leaves the list empty and signals cannotRead.
    bool reread();

    // The names listed, top to bottom, exactly as on disk.
    QStringList names() const { return m_names; }
    // The full path of the selected file; empty when none is selected.
    QString fileName() const;

signals:
    void cannotRead(const QString &path, const QString &reason);
    // Enter on the selected file: it is to be opened as a double-click does.
    void openRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // With quiet set a folder that has gone empties the list without a word:
    // nobody asked for the list to be read.
    bool update(bool quiet);
    // Turns the list into names row by row; false when that would touch so
    // many rows that building it anew is quicker.
    bool applyChanges(const QStringList &names);
    void rebuild(const QStringList &names);
    int selectedRow() const;

    QString m_directory;
    QString m_mask = QStringLiteral("*.*");
    // Row i shows m_names[i]; the shown text may differ (control characters).
    QStringList m_names;
    FolderWatch *m_watch = nullptr;
};
