#pragma once

#include <QByteArray>
#include <QString>

// A file that another program is writing, read a piece at a time as it
// grows. Only a regular file is opened: a FIFO would hold the program, or
// take bytes meant for its reader, and a device may never end. Nothing here
// waits.
class GrowingFile
{
public:
    explicit GrowingFile(QString path) : m_path(std::move(path)) {}

    enum class Change {
        None,
        Grew,
        // The file was written anew (truncated, replaced, or rewritten from
        // its start): bytes are the new file's from its start.
        Restarted,
    };
    struct News
    {
        Change change = Change::None;
        // Whether a regular file is there; nothing is read of anything else.
        bool isFile = false;
        QByteArray bytes;
        // The file's size when it was looked at.
        qint64 size = 0;
    };

    // At most limit bytes after those read so far.
    News read(qsizetype limit);
    // Goes on from offset, leaving what lies before unread.
    void skipTo(qint64 offset);
    // How far the file has been read.
    qint64 offset() const { return m_offset; }

private:
    QString m_path;
    qint64 m_offset = 0;
    quint64 m_device = 0;
    quint64 m_inode = 0;
    // The last bytes read: a file rewritten from its start to at least this
    // size no longer has them there.
    QByteArray m_lastBytes;
};
