#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Whole-file reading and writing. Files keep their bytes: the editors show
// UTF-8 files as UTF-8 and anything else as 8-bit text, and save what they read.
namespace TextFile {

// Reads a whole file; throws FileError "Cannot open file %s" on failure.
QByteArray readBytes(const QString &path);

// Replaces path atomically with bytes; throws FileError "Cannot create file %s".
void writeBytes(const QString &path, const QByteArray &bytes);

bool isValidUtf8(const QByteArray &bytes);

// Decodes as UTF-8 when valid, else as Windows-1252.
QString decode(const QByteArray &bytes);

// Every line end (CR LF, lone CR, lone LF) becomes CR LF.
QByteArray withCrLf(const QByteArray &bytes);

// The lines of a text as the editors show and print them: a line ends at CR LF,
// CR or LF, and a line break at the very end adds no empty line.
QStringList splitLines(const QString &text);

} // namespace TextFile
