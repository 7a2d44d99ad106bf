#pragma once

#include <QListWidget>
#include <QStringList>

// The files of one folder whose names pass the mask, in name order. Folders,
// hidden files and special files (devices, sockets, broken links) are left out.
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

    // Reads the folder again; a folder that has gone leaves the list empty
    // and signals cannotRead.
    bool reread();

    // The names listed, top to bottom, exactly as on disk.
    QStringList names() const { return m_names; }
    // The full path of the selected file; empty when none is selected.
    QString fileName() const;

signals:
    void cannotRead(const QString &path, const QString &reason);

private:
    QString m_directory;
    QString m_mask = QStringLiteral("*.*");
    // Row i shows m_names[i]; the shown text may differ (control characters).
    QStringList m_names;
};
