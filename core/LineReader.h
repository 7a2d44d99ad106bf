#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The program's reader of its own text files (the settings file, master
// files). A line ends at CR, CR LF or a lone LF; a character 26 ends the file;
// a last line without a line end is read; lines have no length limit.
class LineReader
{
public:
    explicit LineReader(QByteArray bytes);

    bool atEnd() const { return m_pos >= m_end; }

    // The next line without its line end; empty at the end of the file.
    QByteArray readLine();
    // The same without a copy: valid as long as the reader is.
    QByteArrayView readLineView();

    // Passes over characters 0 to 32, then takes up to 32 characters above 32
    // as a signed decimal integer; leaves the character after them unread.
    // At the end of the file, and for anything that is not a number in range,
    // the value is 0.
    long long readInteger();

    // Moves past the next line end.
    void finishLine();

private:
    // Where the line that goes on at from ends: the next CR or LF, or the end.
    qsizetype lineEnd(qsizetype from) const;

    QByteArray m_bytes;
    qsizetype m_pos = 0;
    qsizetype m_end = 0;
};
