#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A tmpfs of its own, mounted for one test and unmounted when it ends, so that
// a full disk is a real one. Mounting needs root; without it (or where the
// system refuses) mounted() is false and skipReason() says why.
class SmallDisk
{
public:
    explicit SmallDisk(qint64 bytes = 256 * 1024);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QString skipReason() const { return m_skipReason; }

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // Writes a file on the disk (while there is room) and returns its path.
    QString writeFile(const QString &name, const QByteArray &bytes) const;

    // Takes every free block, so that the next write of any size fails with
    // "no space left".
    void fill() const;

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_skipReason;
};

// Ends the test as skipped when the disk could not be mounted.
#define SKIP_UNLESS_MOUNTED(disk)                                                                            \
    do {                                                                                                     \
        if (!(disk).mounted())                                                                               \
            QSKIP(qPrintable((disk).skipReason()));                                                          \
    } while (false)
