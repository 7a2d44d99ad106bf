#include "core/LineReader.h"

#include <algorithm>
#include <cstring>

LineReader::LineReader(QByteArray bytes) : m_bytes(std::move(bytes))
{
    const qsizetype eof = m_bytes.indexOf('\x1a');
    m_end = eof < 0 ? m_bytes.size() : eof;
}

qsizetype LineReader::lineEnd(qsizetype from) const
{
    // A window at a time, so that looking for the other line end never runs
    // far past the one that comes first: a file of lone CRs or of lone LFs
    // is read in one pass either way. A line of many megabytes (a damaged
    // file) is passed over at the speed of memchr.
    constexpr qsizetype Window = 4096;
    const char *data = m_bytes.constData();
    for (qsizetype start = from; start < m_end; start += Window) {
        const auto length = size_t(std::min(Window, m_end - start));
        const auto *cr = static_cast<const char *>(std::memchr(data + start, '\r', length));
        const auto *lf = static_cast<const char *>(std::memchr(data + start, '\n', length));
        if (cr && lf)
            return std::min(cr, lf) - data;
        if (cr || lf)
            return (cr ? cr : lf) - data;
    }
    return m_end;
}

QByteArrayView LineReader::readLineView()
{
    const qsizetype start = m_pos;
    m_pos = lineEnd(m_pos);
    const QByteArrayView line(m_bytes.constData() + start, m_pos - start);
    finishLine();
    return line;
}

QByteArray LineReader::readLine()
{
    return readLineView().toByteArray();
}

long long LineReader::readInteger()
{
    while (m_pos < m_end && static_cast<unsigned char>(m_bytes.at(m_pos)) <= 32)
        ++m_pos;
    const qsizetype start = m_pos;
    while (m_pos < m_end && m_pos - start < 32 && static_cast<unsigned char>(m_bytes.at(m_pos)) > 32)
        ++m_pos;
    bool ok = false;
    const long long value = m_bytes.mid(start, m_pos - start).toLongLong(&ok, 10);
    return ok ? value : 0;
}

void LineReader::finishLine()
{
    m_pos = lineEnd(m_pos);
    if (m_pos < m_end && m_bytes.at(m_pos) == '\r')
        ++m_pos;
    if (m_pos < m_end && m_bytes.at(m_pos) == '\n')
        ++m_pos;
}
