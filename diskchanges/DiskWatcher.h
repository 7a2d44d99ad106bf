#pragma once

#include "diskchanges/FileSnapshot.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

// Watches the file an editor window shows and says when it no longer is
// what the window last read or wrote: another program changed it, deleted
// it, or put something that is not a file in its place. A touch that leaves
// the bytes as they were changes nothing.
class DiskWatcher : public QObject
{
    Q_OBJECT

public:
    enum class State { Unchanged, Changed, Deleted, NotAFile };

    explicit DiskWatcher(QObject *parent = nullptr);

    // The window shows path as it was when seen was taken.
    void setFile(const QString &path, const FileSnapshot &seen);
    // The window has no file.
    void clear();
    QString path() const { return m_path; }
    State state() const { return m_state; }

    // Before path is written: whether that would overwrite a change made
    // on disk since the window read or wrote it. A deleted file is written
    // again without a question; what is not a file is never written over,
    // so nothing is asked about it.
    bool wouldOverwriteChange(const QString &path);

    // The user keeps the window's text: the file as it is now counts as seen.
    void acceptDiskVersion();

    // While paused nothing is reported (a run writes the file); resuming
    // looks at the file again.
    void setPaused(bool paused);

signals:
    void stateChanged(DiskWatcher::State state);
    // After every look at the file, whatever it found.
    void looked(DiskWatcher::State state);

private:
    void fileEvent();
    void folderEvent();
    void settle();
    // deep: look at the bytes even when the stamp is as seen.
    State currentState(bool deep);
    void watchAgain();

    QFileSystemWatcher m_watcher;
    QTimer m_settleTimer;
    QString m_path;
    FileSnapshot m_seen;
    State m_state = State::Unchanged;
    bool m_deepCheckDue = false;
    bool m_paused = false;
};
