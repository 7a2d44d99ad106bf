#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <optional>

// What an editor window knows of its file on disk, to tell whether another
// program changed it: the file's size and times, read without opening it,
// and a hash of its bytes. The times alone would miss a rewrite within the
// same second or an older file put back; the hash alone would cost a read
// of the whole file at every look.
struct FileStamp
{
    bool exists = false;
    // Something that is not a regular file is there: a FIFO, a device, a
    // folder, or a link to one or to nothing.
    bool notAFile = false;
    qint64 size = 0;
    QDateTime modified;
    // Changes with every write and every change of the times, and no
    // program can set it back.
    QDateTime metadataChanged;

    // A regular file's stamp (through links); of anything else only that
    // it is there.
    static FileStamp of(const QString &path);

    friend bool operator==(const FileStamp &a, const FileStamp &b)
    {
        return a.exists == b.exists && a.notAFile == b.notAFile && a.size == b.size &&
               a.modified == b.modified && a.metadataChanged == b.metadataChanged;
    }
    friend bool operator!=(const FileStamp &a, const FileStamp &b) { return !(a == b); }
};

struct FileSnapshot
{
    FileStamp stamp;
    quint64 hash = 0;
};

namespace ContentHash {

// Not for security: a quick hash that tells one version of a file from another.
quint64 of(QByteArrayView bytes);

// The same hash of bytes that come in pieces of any size.
class Stream
{
public:
    Stream();
    void add(QByteArrayView bytes);
    quint64 value() const;

private:
    size_t m_hash;
    // The start of a slice that the pieces so far have not filled.
    QByteArray m_partial;
};
// The same hash of a file's bytes as they are now; nothing when the file
// cannot be read.
std::optional<quint64> ofFile(const QString &path);

} // namespace ContentHash
