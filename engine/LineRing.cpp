#include "engine/LineRing.h"

#include "core/TextCodec.h"

#include <QtGlobal>

#include <algorithm>

namespace {

// Large enough that a block holds many lines, small enough that the blocks
// of lines already dropped go soon.
constexpr qsizetype BlockSize = qsizetype(64) * 1024;

} // namespace

LineRing::LineRing(int limit) : m_limit(qMax(1, limit))
{}

void LineRing::append(QByteArrayView bytes, Kind kind)
{
    // A line lies in one block, so that it can be read back in one piece.
    if (m_blocks.empty() || m_blocks.back().bytes.size() + bytes.size() > m_blocks.back().bytes.capacity()) {
        Block block{m_stored, QByteArray()};
        block.bytes.reserve(qMax(BlockSize, bytes.size()));
        m_blocks.push_back(std::move(block));
    }
    m_blocks.back().bytes.append(bytes.data(), bytes.size());
    m_lines.push_back(Line{m_stored, int(bytes.size()), kind});
    m_stored += bytes.size();
    ++m_added;
    if (int(m_lines.size()) > m_limit)
        dropOldest();
}

void LineRing::dropOldest()
{
    m_lines.pop_front();
    const qint64 firstKept = m_lines.front().offset;
    while (m_blocks.size() > 1 && m_blocks[1].offset <= firstKept)
        m_blocks.pop_front();
}

QString LineRing::decode(const Line &line) const
{
    const auto block = std::upper_bound(m_blocks.cbegin(), m_blocks.cend(), line.offset,
                                        [](qint64 offset, const Block &b) { return offset < b.offset; }) -
                       1;
    const QByteArray bytes = block->bytes.mid(line.offset - block->offset, line.length);
    return line.kind == Kind::Utf8 ? QString::fromUtf8(bytes) : TextCodec::decodeLine(bytes);
}

QStringList LineRing::lines(qint64 from, qint64 end) const
{
    const qint64 firstKept = droppedCount();
    from = qBound(firstKept, from, m_added);
    end = qBound(from, end, m_added);
    QStringList result;
    result.reserve(end - from);
    for (qint64 i = from; i < end; ++i)
        result.append(decode(m_lines[std::size_t(i - firstKept)]));
    return result;
}

qint64 LineRing::stretchStart(qint64 end, qint64 count, qint64 bytes) const
{
    const qint64 firstKept = droppedCount();
    end = qBound(firstKept, end, m_added);
    qint64 from = end;
    qint64 total = 0;
    while (from > firstKept && end - from < count) {
        total += m_lines[std::size_t(from - 1 - firstKept)].length;
        if (from < end && total > bytes)
            break;
        --from;
    }
    return from;
}
