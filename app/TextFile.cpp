#include "app/TextFile.h"

#include "app/FileError.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

bool syncedToDisk([[maybe_unused]] QSaveFile &file)
{
#ifdef Q_OS_UNIX
    // Some file systems cannot sync; that is no failure of the write.
    return ::fsync(file.handle()) == 0 || errno == EINVAL || errno == ENOTSUP;
#else
    return true;
#endif
}

} // namespace

namespace TextFile {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        throw FileError::cannotOpen(path);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError::cannotOpen(path);
    return bytes;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly))
        throw FileError::cannotCreate(path);
    // A text smaller than QSaveFile's buffer reaches the disk only inside
    // commit(), which does not check that last write: on a full disk it would
    // put an empty file in the old one's place. So every step is checked
    // here, and the old file is replaced only after all of them succeeded.
    const bool written = file.write(bytes) == bytes.size() && file.flush() && syncedToDisk(file) &&
                         file.error() == QFileDevice::NoError;
    if (!written) {
        file.cancelWriting();
        throw FileError::cannotCreate(path);
    }
    if (!file.commit())
        throw FileError::cannotCreate(path);
}

bool isValidUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        // Most text is ASCII: pass over it eight bytes at a time.
        while (i + 8 <= n) {
            quint64 word;
            std::memcpy(&word, p + i, sizeof word);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        unsigned int min = 0;
        unsigned int code = 0;
        if ((c & 0xe0) == 0xc0) {
            extra = 1, min = 0x80, code = c & 0x1f;
        } else if ((c & 0xf0) == 0xe0) {
            extra = 2, min = 0x800, code = c & 0x0f;
        } else if ((c & 0xf8) == 0xf0) {
            extra = 3, min = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= n)
            return false;
        for (int k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xc0) != 0x80)
                return false;
            code = (code << 6) | (p[i + k] & 0x3f);
        }
        if (code < min || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;
        i += extra + 1;
    }
    return true;
}

QString decode(const QByteArray &bytes)
{
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    QStringDecoder cp1252("windows-1252");
    if (cp1252.isValid())
        return cp1252.decode(bytes);
    return QString::fromLatin1(bytes);
}

QByteArray withCrLf(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 32);
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c == '\r') {
            out.append("\r\n");
            if (i + 1 < n && bytes.at(i + 1) == '\n')
                ++i;
        } else if (c == '\n') {
            out.append("\r\n");
        } else {
            out.append(c);
        }
    }
    return out;
}

} // namespace TextFile
