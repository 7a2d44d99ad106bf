#include "documents/FileSnapshot.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <memory>

namespace {

// The hash goes over the bytes in pieces of this size, whether they lie in
// memory or are read from the file.
constexpr qsizetype PieceSize = qsizetype(1) << 20;
// A seed of 0 selects Qt's slower hash; each piece's hash seeds the next.
constexpr size_t FirstSeed = 0x9e3779b97f4a7c15ULL;

size_t nextSeed(size_t hash)
{
    return hash ? hash : FirstSeed;
}

} // namespace

FileStamp FileStamp::of(const QString &path)
{
    QFileInfo info(path);
    info.setCaching(false);
    FileStamp stamp;
    if (!info.isFile())
        return stamp;
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modified = info.lastModified();
    stamp.metadataChanged = info.metadataChangeTime();
    return stamp;
}

namespace ContentHash {

quint64 of(QByteArrayView bytes)
{
    size_t hash = FirstSeed;
    for (qsizetype at = 0; at < bytes.size(); at += PieceSize)
        hash = qHash(bytes.sliced(at, std::min(PieceSize, bytes.size() - at)), nextSeed(hash));
    return hash;
}

std::optional<quint64> ofFile(const QString &path)
{
    // A FIFO or a device would block the read or never end it.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const auto piece = std::make_unique<char[]>(PieceSize);
    size_t hash = FirstSeed;
    for (;;) {
        qsizetype filled = 0;
        while (filled < PieceSize) {
            const qint64 got = file.read(piece.get() + filled, PieceSize - filled);
            if (got < 0)
                return std::nullopt;
            if (got == 0)
                break;
            filled += got;
        }
        if (filled == 0)
            break;
        hash = qHash(QByteArrayView(piece.get(), filled), nextSeed(hash));
        if (filled < PieceSize)
            break;
    }
    return hash;
}

} // namespace ContentHash
