#pragma once

#include "core/TextFile.h"

#include <QByteArrayView>

namespace TextFile {

// Looks at each piece of a file as it is read, on the reading thread.
class PieceWatcher
{
public:
    virtual ~PieceWatcher() = default;
    virtual void see(QByteArrayView piece) = 0;
};

// readInto with the reading on a thread of its own, a few pieces ahead of
// sink, which takes them on the calling thread; watcher sees each piece on
// the reading thread first. While sink makes room for the file or takes in a
// piece, the next ones are read and looked at meanwhile. The same errors as
// readInto come from here, on the calling thread; an error in sink stops the
// reading.
void readAhead(const QString &path, ByteSink &sink, PieceWatcher &watcher);

} // namespace TextFile
