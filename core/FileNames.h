#pragma once

#include <QByteArray>
#include <QString>

// File names whose bytes are not valid UTF-8 (names written under another
// encoding) survive the trip through a QString: each byte that is not part of
// a valid UTF-8 sequence becomes one unpaired low surrogate U+DC80..U+DCFF,
// which no valid name decodes to, and turns back into that byte. Qt's own
// decoding would replace such bytes and lose the file.
namespace FileNames {

// A name or path as the file system holds it, made a QString without loss.
QString fromNative(const QByteArray &native);
// The bytes the file system knows the name by.
QByteArray toNative(const QString &name);
// Whether name holds bytes that Qt's own file classes cannot reach.
bool hasRawBytes(const QString &name);
// The name as a user reads it: every raw byte shown as U+FFFD.
QString forDisplay(const QString &name);

// Atomic writing by the native name, for the names QSaveFile cannot reach;
// false on failure. (Reading goes by the native name for every file.)
bool writeNative(const QString &path, const QByteArray &bytes);

} // namespace FileNames
