#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Files reached by the bytes of their names, as a program that knows nothing
// of UTF-8 reaches them.
namespace NativeFiles {

bool write(const QByteArray &path, const QByteArray &bytes);
QByteArray read(const QByteArray &path);
// The names in a folder as the file system holds them, hidden ones too.
QList<QByteArray> names(const QString &folder);

} // namespace NativeFiles
