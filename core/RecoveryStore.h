#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <memory>
#include <optional>
#include <vector>

class QLockFile;

// A copy of a window's unsaved text, as a program left it.
struct RecoveryCopy
{
    // The copy's own file.
    QString path;
    // Which window the text was in ("command", "master", "another").
    QString kind;
    // The window's file; empty for an untitled window.
    QString fileName;
    QDateTime written;
};

// The copies of unsaved text that keep it through a crash: one file for each
// window, in the user's data folder, never beside the user's file. Each
// program holds a lock file of its own there and names its copies after it,
// so that two programs at once never take or delete each other's copies;
// a lock whose program has ended (a crash, kill -9, a lost session) frees its
// copies for the next start to offer.
class RecoveryStore : public QObject
{
    Q_OBJECT

public:
    // Recovery/ in the user's data folder.
    static QString defaultFolder();

    explicit RecoveryStore(const QString &folder, QObject *parent = nullptr);
    // Waits for a write in progress. The copies stay: only a normal end
    // removes them.
    ~RecoveryStore() override;
    RecoveryStore(const RecoveryStore &) = delete;
    RecoveryStore &operator=(const RecoveryStore &) = delete;

    // Writes the copy of key's text away from the user-interface thread,
    // atomically: a copy is whole or not there. False (nothing done) while
    // the last copy of key is still being written.
    bool write(const void *key, const QString &kind, const QString &fileName, QByteArray text);
    // The copy of key goes, also one still being written.
    void remove(const void *key);
    bool hasCopy(const void *key) const { return m_copies.contains(key); }
    bool isWriting(const void *key) const { return m_copies.value(key).writing; }
    void waitForWrites();
    // All of this program's copies and its lock go.
    void endNormally();

    // The copies of programs that have ended, oldest first. Their locks are
    // this program's from now on, so no other start offers them too.
    QList<RecoveryCopy> claimLeftCopies();
    // The text of a copy; nothing when it cannot be read.
    static std::optional<QByteArray> readText(const RecoveryCopy &copy);
    // Deletes a claimed copy (taken back into a window, or thrown away).
    void discard(const RecoveryCopy &copy);
    // Lets go of the claimed locks: copies still there are offered again.
    void releaseClaims();

    // The header and the parse of a copy file; for the store and its tests.
    static QByteArray header(const QString &kind, const QString &fileName, const QDateTime &written);
    static std::optional<RecoveryCopy> parseHeader(const QByteArray &head);

private:
    struct Copy
    {
        QString path;
        bool writing = false;
        bool removeWhenWritten = false;
    };
    void written(const void *key);
    // The folder made and this program's lock taken; false when they cannot be.
    bool takeFolder();

    QString m_folder;
    QString m_id;
    std::unique_ptr<QLockFile> m_lock;
    bool m_folderRefused = false;
    QHash<const void *, Copy> m_copies;
    int m_nextCopy = 1;
    std::vector<std::pair<QString, std::unique_ptr<QLockFile>>> m_claims; // owner, lock
    // One writer, so that copies are written one after another.
    QThreadPool m_writer;
};
