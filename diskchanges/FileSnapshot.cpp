#include "diskchanges/FileSnapshot.h"

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
    if (!info.isFile()) {
        stamp.notAFile = info.exists() || info.isSymLink();
        return stamp;
    }
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modified = info.lastModified();
    stamp.metadataChanged = info.metadataChangeTime();
    return stamp;
}

namespace ContentHash {

quint64 of(QByteArrayView bytes)
{
    Stream stream;
    stream.add(bytes);
    return stream.value();
}

Stream::Stream() : m_hash(FirstSeed)
{}

void Stream::add(QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        if (m_partial.isEmpty() && bytes.size() >= PieceSize) {
            m_hash = qHash(bytes.first(PieceSize), nextSeed(m_hash));
            bytes = bytes.sliced(PieceSize);
            continue;
        }
        const qsizetype taken = std::min(PieceSize - m_partial.size(), bytes.size());
        m_partial.append(bytes.first(taken));
        bytes = bytes.sliced(taken);
        if (m_partial.size() == PieceSize) {
            m_hash = qHash(m_partial, nextSeed(m_hash));
            m_partial.clear();
        }
    }
}

quint64 Stream::value() const
{
    return m_partial.isEmpty() ? m_hash : qHash(m_partial, nextSeed(m_hash));
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
    Stream stream;
    for (;;) {
        const qint64 got = file.read(piece.get(), PieceSize);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        stream.add(QByteArrayView(piece.get(), got));
    }
    return stream.value();
}

} // namespace ContentHash
