#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <deque>

// The newest lines of a text that may come without end, kept as the bytes
// they came in and decoded only when asked for: adding a line copies its
// bytes into a block and notes where they lie, so that an engine that floods
// standard error is read as fast as it writes. A line that falls out of the
// kept ones costs nothing more.
class LineRing
{
public:
    enum class Kind : char {
        Utf8,    // the program's own text
        External // what a run wrote: UTF-8 where it is valid, 8-bit text otherwise
    };

    explicit LineRing(int limit);

    void append(QByteArrayView bytes, Kind kind);

    int keptCount() const { return int(m_lines.size()); }
    // Every line ever added, kept or not; lines are numbered from 0 in that order.
    qint64 addedCount() const { return m_added; }
    qint64 droppedCount() const { return m_added - qint64(m_lines.size()); }
    // The kept lines numbered from to before end.
    QStringList lines(qint64 from, qint64 end) const;
    // Where the kept lines that end before end begin, when they are to be
    // at most count lines of at most bytes bytes (but one line at least).
    qint64 stretchStart(qint64 end, qint64 count, qint64 bytes) const;

private:
    struct Line
    {
        qint64 offset; // in the stream of all bytes ever stored
        int length;
        Kind kind;
    };
    struct Block
    {
        qint64 offset;
        QByteArray bytes;
    };

    QString decode(const Line &line) const;
    void dropOldest();

    int m_limit;
    qint64 m_added = 0;
    qint64 m_stored = 0;
    std::deque<Line> m_lines;
    std::deque<Block> m_blocks;
};
