#pragma once

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

// Tells a list that the folder it shows has changed, so that it follows the
// folder. A change is told after a pause, so that a burst of changes (a save
// writes a temporary file and renames it) costs one reading; a folder whose
// reading takes longer waits as long as its last reading took, so that one
// that changes all the time still leaves the user half of the time.
class FolderWatch : public QObject
{
    Q_OBJECT

public:
    explicit FolderWatch(QObject *parent = nullptr);

    // Watches path from now on; nothing for an empty path.
    void setFolder(const QString &path);

signals:
    // Read the folder again now; the watch times how long that takes.
    void changed();

private:
    void pauseOver();

    QString m_folder;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_pause = nullptr;
};
