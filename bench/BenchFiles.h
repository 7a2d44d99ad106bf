#pragma once

// Files that more than one benchmark writes.
#include <QByteArray>

namespace BenchFiles {

// A help file of about 20 MB with 100,000 keywords "kw000001" and on.
inline QByteArray helpFile(int keyWords = 100000, qsizetype size = 20 * 1024 * 1024)
{
    QByteArray bytes;
    bytes.reserve(size + 4096);
    const qsizetype perEntry = size / keyWords;
    for (int k = 1; k <= keyWords; ++k) {
        bytes += "##kw" + QByteArray::number(k).rightJustified(6, '0') + "\r\n";
        const qsizetype entryEnd = qsizetype(k) * perEntry;
        while (bytes.size() < entryEnd - 2)
            bytes += "Some words of help text about this keyword, with a # or two.\r\n";
        bytes.resize(entryEnd - 2, ' ');
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace BenchFiles
