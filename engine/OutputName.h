#pragma once

#include "core/PathHelpers.h"

#include <QString>

namespace Engine {

// The file a run writes its results to: the command file with its extension
// replaced by outputExtension (dot included), or with outputExtension appended
// when the command file has none. A dot in a folder name is not an extension.
QString outputFileName(const QString &commandFileName, const QString &outputExtension,
                       const QString &separators = Paths::platformSeparators());

// What tells one file from another: its path with every link followed, and,
// where the file exists, its device and inode, which a hard link shares with
// the file it links to. A file that does not exist yet (an output file before
// its first run) can only be compared by path.
struct FileKey
{
    QString path;
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
};

FileKey fileKey(const QString &path);
bool sameFile(const FileKey &a, const FileKey &b);

// Whether the output file is the command file itself (the same name, or the
// same file reached through a link), so that the redirection would empty the
// command file before the engine reads it.
bool outputIsCommandFile(const QString &commandFileName, const QString &outputFileName);

// Opens the output file for writing, creating it when missing but leaving an
// existing one as it is; throws FileError "Cannot create file %s" when that
// fails or when something other than a regular file stands at its place (a
// FIFO, on which the engine's redirection would wait for a reader for ever, a
// device, a folder), so that a run never shows an old output as its results.
// Never waits: a FIFO put in place at the last moment is refused as well.
void checkOutputWritable(const QString &outputFileName);

} // namespace Engine
