#include "core/FileNames.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace FileNames {

namespace {

constexpr char16_t EscapeBase = 0xDC00;

bool isEscape(const QString &name, qsizetype i)
{
    const char16_t c = name.at(i).unicode();
    return c >= EscapeBase + 0x80 && c <= EscapeBase + 0xFF && (i == 0 || !name.at(i - 1).isHighSurrogate());
}

// The length of the valid UTF-8 sequence at p, or 0 when there is none.
int sequenceLength(const unsigned char *p, qsizetype left)
{
    const unsigned char c = p[0];
    int extra = 0;
    unsigned int code = 0;
    unsigned int min = 0;
    if (c < 0x80)
        return 1;
    if ((c & 0xe0) == 0xc0)
        extra = 1, min = 0x80, code = c & 0x1f;
    else if ((c & 0xf0) == 0xe0)
        extra = 2, min = 0x800, code = c & 0x0f;
    else if ((c & 0xf8) == 0xf0)
        extra = 3, min = 0x10000, code = c & 0x07;
    else
        return 0;
    if (extra >= left)
        return 0;
    for (int k = 1; k <= extra; ++k) {
        if ((p[k] & 0xc0) != 0x80)
            return 0;
        code = (code << 6) | (p[k] & 0x3f);
    }
    if (code < min || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
        return 0;
    return extra + 1;
}

#ifdef Q_OS_UNIX
// The old file's permissions, or a new file's under the user's umask.
mode_t modeFor(const QByteArray &target)
{
    struct stat old = {};
    if (::stat(target.constData(), &old) == 0)
        return old.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
#endif

} // namespace

QString fromNative(const QByteArray &native)
{
    const auto *p = reinterpret_cast<const unsigned char *>(native.constData());
    const qsizetype n = native.size();
    QString name;
    name.reserve(n);
    qsizetype validFrom = 0;
    qsizetype i = 0;
    while (i < n) {
        const int length = sequenceLength(p + i, n - i);
        if (length > 0) {
            i += length;
            continue;
        }
        name += QString::fromUtf8(native.constData() + validFrom, i - validFrom);
        name += QChar(char16_t(EscapeBase + p[i]));
        validFrom = ++i;
    }
    if (validFrom == 0)
        return QString::fromUtf8(native);
    name += QString::fromUtf8(native.constData() + validFrom, n - validFrom);
    return name;
}

QByteArray toNative(const QString &name)
{
    if (!hasRawBytes(name))
        return QFile::encodeName(name);
    QByteArray native;
    qsizetype validFrom = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscape(name, i))
            continue;
        native += QStringView(name).mid(validFrom, i - validFrom).toUtf8();
        native += char(name.at(i).unicode() - EscapeBase);
        validFrom = i + 1;
    }
    native += QStringView(name).mid(validFrom).toUtf8();
    return native;
}

bool hasRawBytes(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isEscape(name, i))
            return true;
    }
    return false;
}

QString forDisplay(const QString &name)
{
    if (!hasRawBytes(name))
        return name;
    QString shown = name;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (isEscape(name, i))
            shown[i] = QChar(QChar::ReplacementCharacter);
    }
    return shown;
}

#ifdef Q_OS_UNIX

bool writeNative(const QString &path, const QByteArray &bytes)
{
    // As QSaveFile does it: a new file beside the old one, renamed over it
    // once it is complete, so that a failed write leaves the old file whole.
    const QByteArray target = toNative(path);
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray temporary = target.left(slash + 1) + ".ostrel-save-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    bool written = ::fchmod(fd, modeFor(target)) == 0;
    QFile file;
    written = written && file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
    written = written && file.write(bytes) == bytes.size() && file.flush() && ::fsync(fd) == 0;
    if (file.isOpen())
        file.close();
    else
        ::close(fd);
    if (written && ::rename(temporary.constData(), target.constData()) == 0)
        return true;
    ::unlink(temporary.constData());
    return false;
}

#else

bool writeNative(const QString &, const QByteArray &)
{
    return false;
}

#endif

} // namespace FileNames
