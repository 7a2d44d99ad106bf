#include "core/TextCodec.h"

#include <cstring>

namespace {

// Windows-1252 from 0x80 to 0x9F; every other byte is the code point of the
// same number.
constexpr char16_t Windows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                          0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t Invalid = 0xFFFFFFFF;
constexpr char32_t ReplacementCharacter = 0xFFFD;
constexpr char32_t ByteOrderMark = 0xFEFF;
const QByteArray Utf8Mark = QByteArrayLiteral("\xef\xbb\xbf");

char16_t fromWindows1252(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : char16_t(byte);
}

// The byte that stands for code in Windows-1252, or -1.
int toWindows1252(char32_t code)
{
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return int(code);
    for (int i = 0; i < 32; ++i) {
        if (Windows1252High[i] == code)
            return 0x80 + i;
    }
    return -1;
}

bool isSurrogate(char32_t code)
{
    return code >= 0xD800 && code <= 0xDFFF;
}

// The first byte at or after i with its high bit set, or n. Most text is
// ASCII: it is passed over eight bytes at a time.
qsizetype skipAscii(const unsigned char *p, qsizetype i, qsizetype n)
{
    while (i + 8 <= n) {
        quint64 word;
        std::memcpy(&word, p + i, sizeof word);
        if (word & 0x8080808080808080ULL)
            break;
        i += 8;
    }
    while (i < n && p[i] < 0x80)
        ++i;
    return i;
}

// The code point of the UTF-8 sequence at p[i], i moved past it; Invalid for
// a malformed sequence, i moved past its first byte.
char32_t nextCodePoint(const unsigned char *p, qsizetype &i, qsizetype n)
{
    const unsigned char c = p[i];
    if (c < 0x80) {
        ++i;
        return c;
    }
    int extra = 0;
    char32_t min = 0;
    char32_t code = 0;
    if ((c & 0xe0) == 0xc0) {
        extra = 1, min = 0x80, code = c & 0x1f;
    } else if ((c & 0xf0) == 0xe0) {
        extra = 2, min = 0x800, code = c & 0x0f;
    } else if ((c & 0xf8) == 0xf0) {
        extra = 3, min = 0x10000, code = c & 0x07;
    } else {
        ++i;
        return Invalid;
    }
    if (i + extra >= n) {
        ++i;
        return Invalid;
    }
    for (int k = 1; k <= extra; ++k) {
        if ((p[i + k] & 0xc0) != 0x80) {
            ++i;
            return Invalid;
        }
        code = (code << 6) | (p[i + k] & 0x3f);
    }
    if (code < min || code > 0x10ffff || isSurrogate(code)) {
        ++i;
        return Invalid;
    }
    i += extra + 1;
    return code;
}

// The bytes of the UTF-8 sequence that lead begins; 1 for ASCII and for a
// byte that begins none.
qsizetype sequenceLength(unsigned char lead)
{
    return (lead & 0xe0) == 0xc0 ? 2 : (lead & 0xf0) == 0xe0 ? 3 : (lead & 0xf8) == 0xf0 ? 4 : 1;
}

// The bytes at the end of p that begin a sequence longer than they are.
qsizetype unfinishedTail(const unsigned char *p, qsizetype n)
{
    for (qsizetype back = 1; back <= qMin<qsizetype>(3, n); ++back) {
        const unsigned char c = p[n - back];
        if ((c & 0xc0) != 0x80)
            return sequenceLength(c) > back ? back : 0;
    }
    return 0;
}

int utf8Length(char32_t code)
{
    return code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
}

// Writes code as UTF-8 at out; returns the number of bytes.
int putUtf8(char *out, char32_t code)
{
    const int length = utf8Length(code);
    if (length == 1) {
        out[0] = char(code);
        return 1;
    }
    static constexpr unsigned char Lead[] = {0, 0, 0xc0, 0xe0, 0xf0};
    for (int k = length - 1; k > 0; --k) {
        out[k] = char(0x80 | (code & 0x3f));
        code >>= 6;
    }
    out[0] = char(Lead[length] | code);
    return length;
}

QByteArray windows1252AsUtf8(const QByteArray &bytes)
{
    QByteArray out(TextCodec::windows1252Utf8Size(bytes.constData(), bytes.size()), Qt::Uninitialized);
    TextCodec::windows1252ToUtf8(bytes.constData(), bytes.size(), out.data());
    return out;
}

std::optional<QByteArray> utf8ToWindows1252(const QByteArray &utf8)
{
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.constData());
    const qsizetype n = utf8.size();
    QByteArray out(n, Qt::Uninitialized);
    char *o = out.data();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype ascii = skipAscii(p, i, n);
        std::memcpy(o, p + i, ascii - i);
        o += ascii - i;
        i = ascii;
        if (i < n) {
            const char32_t code = nextCodePoint(p, i, n);
            const int byte = code == Invalid ? -1 : toWindows1252(code);
            if (byte < 0)
                return std::nullopt;
            *o++ = char(byte);
        }
    }
    out.truncate(o - out.constData());
    return out;
}

// UTF-16 and UTF-32 in either byte order.
struct WideForm
{
    int unitSize;
    bool bigEndian;
};

WideForm wideFormOf(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16Be:
        return {2, true};
    case TextEncoding::Utf32Le:
        return {4, false};
    case TextEncoding::Utf32Be:
        return {4, true};
    default:
        return {2, false};
    }
}

char32_t readUnit(const unsigned char *p, WideForm form)
{
    char32_t unit = 0;
    for (int k = 0; k < form.unitSize; ++k)
        unit |= char32_t(p[form.bigEndian ? form.unitSize - 1 - k : k]) << (8 * k);
    return unit;
}

void appendUnit(QByteArray &out, char32_t unit, WideForm form)
{
    char bytes[4];
    for (int k = 0; k < form.unitSize; ++k)
        bytes[form.bigEndian ? form.unitSize - 1 - k : k] = char((unit >> (8 * k)) & 0xff);
    out.append(bytes, form.unitSize);
}

// The text after the mark as UTF-8; nothing when it is not valid in form
// (a broken length, an unpaired surrogate, a code point out of range).
std::optional<QByteArray> wideToUtf8(const unsigned char *p, qsizetype n, WideForm form)
{
    if (n % form.unitSize != 0)
        return std::nullopt;
    QByteArray out;
    out.reserve(n);
    char buffer[4];
    for (qsizetype i = 0; i < n; i += form.unitSize) {
        char32_t code = readUnit(p + i, form);
        if (form.unitSize == 2 && code >= 0xD800 && code <= 0xDBFF) {
            const char32_t low = i + 2 < n ? readUnit(p + i + 2, form) : 0;
            if (low < 0xDC00 || low > 0xDFFF)
                return std::nullopt;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (isSurrogate(code) || code > 0x10ffff) {
            return std::nullopt;
        }
        out.append(buffer, putUtf8(buffer, code));
    }
    return out;
}

QByteArray utf8ToWide(const QByteArray &utf8, WideForm form)
{
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.constData());
    const qsizetype n = utf8.size();
    QByteArray out;
    out.reserve((n + 1) * form.unitSize);
    appendUnit(out, ByteOrderMark, form);
    for (qsizetype i = 0; i < n;) {
        char32_t code = nextCodePoint(p, i, n);
        if (code == Invalid)
            code = ReplacementCharacter;
        if (form.unitSize == 2 && code >= 0x10000) {
            appendUnit(out, 0xD800 + ((code - 0x10000) >> 10), form);
            appendUnit(out, 0xDC00 + ((code - 0x10000) & 0x3ff), form);
        } else {
            appendUnit(out, code, form);
        }
    }
    return out;
}

} // namespace

namespace TextCodec {

bool isValidUtf8(const QByteArray &bytes)
{
    Utf8Check check;
    check.add(bytes);
    return check.valid();
}

void Utf8Check::add(QByteArrayView piece)
{
    const auto *p = reinterpret_cast<const unsigned char *>(piece.data());
    const qsizetype n = piece.size();
    qsizetype i = 0;
    // A character that the piece before left unfinished.
    while (m_valid && m_carried > 0 && i < n) {
        m_carry[m_carried++] = p[i++];
        if (m_carried == sequenceLength(m_carry[0])) {
            qsizetype at = 0;
            m_valid = nextCodePoint(m_carry, at, m_carried) != Invalid;
            m_carried = 0;
        }
    }
    if (!m_valid || i == n)
        return;
    // One this piece leaves unfinished waits for the next.
    const qsizetype end = n - unfinishedTail(p + i, n - i);
    for (i = skipAscii(p, i, end); i < end; i = skipAscii(p, i, end)) {
        if (nextCodePoint(p, i, end) == Invalid) {
            m_valid = false;
            return;
        }
    }
    m_carried = n - end;
    std::memcpy(m_carry, p + end, size_t(m_carried));
}

bool hasUtf8Mark(QByteArrayView bytes)
{
    return bytes.startsWith(Utf8Mark);
}

qsizetype windows1252Utf8Size(const char *data, qsizetype size)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    qsizetype extra = 0;
    for (qsizetype i = skipAscii(p, 0, size); i < size; i = skipAscii(p, i + 1, size))
        extra += utf8Length(fromWindows1252(p[i])) - 1;
    return size + extra;
}

qsizetype windows1252ToUtf8(const char *data, qsizetype size, char *out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    char *o = out;
    qsizetype i = 0;
    while (i < size) {
        const qsizetype ascii = skipAscii(p, i, size);
        std::memcpy(o, p + i, size_t(ascii - i));
        o += ascii - i;
        i = ascii;
        if (i < size)
            o += putUtf8(o, fromWindows1252(p[i++]));
    }
    return o - out;
}

bool isWindows1252(const QByteArray &bytes)
{
    // Behind a wide encoding's mark the text decides; that is rare enough
    // to be decoded in full.
    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff") ||
        bytes.startsWith(QByteArray("\0\0\xfe\xff", 4)))
        return decode(bytes).encoding == TextEncoding::Windows1252;
    return !isValidUtf8(bytes);
}

qsizetype wholeUtf8Length(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    constexpr qsizetype LongestCharacter = 4;
    for (qsizetype back = 1; back < LongestCharacter && back <= n; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[n - back]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? n - back : n;
    }
    return n;
}

bool isPlainUtf8(const QByteArray &bytes)
{
    // No wide encoding's mark is valid UTF-8, so validity rules them out.
    return !hasUtf8Mark(bytes) && isValidUtf8(bytes);
}

Decoded decode(const QByteArray &bytes)
{
    // UTF-32LE's mark begins with UTF-16LE's: the longer marks are tried first.
    static const struct
    {
        QByteArray mark;
        TextEncoding encoding;
    } wideMarks[] = {
        {QByteArray("\xff\xfe\0\0", 4), TextEncoding::Utf32Le},
        {QByteArray("\0\0\xfe\xff", 4), TextEncoding::Utf32Be},
        {QByteArray("\xff\xfe", 2), TextEncoding::Utf16Le},
        {QByteArray("\xfe\xff", 2), TextEncoding::Utf16Be},
    };
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    for (const auto &wide : wideMarks) {
        if (!bytes.startsWith(wide.mark))
            continue;
        const qsizetype markSize = wide.mark.size();
        if (std::optional<QByteArray> text =
                wideToUtf8(p + markSize, bytes.size() - markSize, wideFormOf(wide.encoding)))
            return {wide.encoding, *text};
    }
    if (isValidUtf8(bytes)) {
        if (bytes.startsWith(Utf8Mark))
            return {TextEncoding::Utf8WithBom, bytes.mid(Utf8Mark.size())};
        return {TextEncoding::Utf8, bytes};
    }
    return {TextEncoding::Windows1252, windows1252AsUtf8(bytes)};
}

std::optional<QByteArray> fromUtf8(const QByteArray &utf8, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return utf8;
    case TextEncoding::Utf8WithBom:
        return Utf8Mark + utf8;
    case TextEncoding::Windows1252:
        return utf8ToWindows1252(utf8);
    default:
        return utf8ToWide(utf8, wideFormOf(encoding));
    }
}

QString decodeLine(const QByteArray &bytes)
{
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(fromWindows1252(static_cast<unsigned char>(byte)));
    return text;
}

} // namespace TextCodec
