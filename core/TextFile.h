#pragma once

#include "core/TextCodec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstring>

// Whole-file reading and writing.
namespace TextFile {

// The size of the pieces a file is read in: large enough that the calls cost
// nothing, small enough to stay in the processor's cache on their way.
constexpr qsizetype ReadPieceSize = qsizetype(1) << 20;

// Takes a file's bytes in pieces as they are read, so that they can go
// straight where they are kept.
class ByteSink
{
public:
    virtual ~ByteSink() = default;
    // The file's size, told once before the first piece (a file that grows
    // meanwhile may give more).
    virtual void expectSize(qint64 size) = 0;
    // Room for up to size bytes of the next piece; the piece read into it is
    // then handed to commit with its length, which may be 0.
    virtual char *space(qsizetype size) = 0;
    virtual void commit(qsizetype length) = 0;
    // A piece read elsewhere: by default copied into space() and committed.
    virtual void take(const char *data, qsizetype size)
    {
        std::memcpy(space(size), data, size_t(size));
        commit(size);
    }
};

// Reads a whole file into sink, with the refusals and errors of readBytes.
// Before the first piece a missing, special or too large file has thrown
// already, and sink has heard nothing.
void readInto(const QString &path, ByteSink &sink);

// Reads a whole regular file, or one that a link leads to. Anything else (a
// FIFO, a device, a folder) is refused without waiting on it, and so is a file
// larger than largestReadableFile(); these, like any failure to read, throw
// FileError "Cannot open file %s".
QByteArray readBytes(const QString &path);

// readBytes as text for an editor: UTF-8, and the encoding the file is in.
TextCodec::Decoded readText(const QString &path);

// Replaces path atomically with bytes; throws FileError "Cannot create file %s"
// when any step fails, the old file then being left as it was. Only a regular
// file, or one that links lead to, or nothing at all is replaced: anything
// else at path (a FIFO, a device, a folder, a link to one or to nothing) is
// refused.
void writeBytes(const QString &path, const QByteArray &bytes);

// Every line end (CR LF, lone CR, lone LF) becomes CR LF. A text whose ends
// are all CR LF already comes back as it is, without a copy.
QByteArray withCrLf(const QByteArray &bytes);

// The lines of a text as the editors show and print them: a line ends at CR LF,
// CR or LF, and a line break at the very end adds no empty line.
QStringList splitLines(const QString &text);

// The memory the system can still give the program, in bytes.
qint64 availableMemory();
// Showing a text in an editor takes its size and some slack, and decoding one
// that is not UTF-8 about twice that: a larger file is refused before anything
// is allocated.
qint64 largestReadableFile();

} // namespace TextFile
