#pragma once

#include "core/TextCodec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Whole-file reading and writing.
namespace TextFile {

// Reads a whole regular file, or one that a link leads to. Anything else (a
// FIFO, a device, a folder) is refused without waiting on it, and so is a file
// larger than largestReadableFile(); these, like any failure to read, throw
// FileError "Cannot open file %s".
QByteArray readBytes(const QString &path);

// readBytes as text for an editor: UTF-8, and the encoding the file is in.
TextCodec::Decoded readText(const QString &path);
// The same for bytes already read from path, which names the file in a failure.
TextCodec::Decoded decodeText(const QString &path, const QByteArray &bytes);

// Replaces path atomically with bytes; throws FileError "Cannot create file %s"
// when any step fails, the old file then being left as it was.
void writeBytes(const QString &path, const QByteArray &bytes);

// Every line end (CR LF, lone CR, lone LF) becomes CR LF.
QByteArray withCrLf(const QByteArray &bytes);

// The lines of a text as the editors show and print them: a line ends at CR LF,
// CR or LF, and a line break at the very end adds no empty line.
QStringList splitLines(const QString &text);

// The memory the system can still give the program, in bytes.
qint64 availableMemory();
// Reading a text, decoding it and showing it in an editor takes several times
// its size: a larger file is refused before anything is allocated.
qint64 largestReadableFile();

} // namespace TextFile
