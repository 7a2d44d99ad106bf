#include "core/LineReader.h"

LineReader::LineReader(QByteArray bytes) : m_bytes(std::move(bytes))
{
    const qsizetype eof = m_bytes.indexOf('\x1a');
    m_end = eof < 0 ? m_bytes.size() : eof;
}

QByteArray LineReader::readLine()
{
    const qsizetype start = m_pos;
    while (m_pos < m_end && m_bytes.at(m_pos) != '\r' && m_bytes.at(m_pos) != '\n')
        ++m_pos;
    QByteArray line = m_bytes.mid(start, m_pos - start);
    finishLine();
    return line;
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
    while (m_pos < m_end && m_bytes.at(m_pos) != '\r' && m_bytes.at(m_pos) != '\n')
        ++m_pos;
    if (m_pos < m_end && m_bytes.at(m_pos) == '\r')
        ++m_pos;
    if (m_pos < m_end && m_bytes.at(m_pos) == '\n')
        ++m_pos;
}
