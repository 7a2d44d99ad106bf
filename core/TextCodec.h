#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// How a text file is stored on disk. The editors hold UTF-8 and a window
// writes its file back in the encoding it was read in, mark included, so
// that a save that changes nothing changes no byte but line ends.
enum class TextEncoding {
    Utf8,
    Utf8WithBom,
    Utf16Le,
    Utf16Be,
    Utf32Le,
    Utf32Be,
    // Every other file: 8-bit text. The five bytes that Windows-1252 leaves
    // undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control
    // characters of the same number, so every byte comes back as it was.
    Windows1252,
};

namespace TextCodec {

bool isValidUtf8(const QByteArray &bytes);

// Whether a text that comes in pieces is valid UTF-8, a character being free
// to begin in one piece and end in the next.
class Utf8Check
{
public:
    void add(QByteArrayView piece);
    // Whether all pieces so far make valid UTF-8, none left unfinished.
    bool valid() const { return m_valid && m_carried == 0; }

private:
    bool m_valid = true;
    unsigned char m_carry[4] = {};
    qsizetype m_carried = 0;
};

// How much of a text that goes on elsewhere ends with whole characters: a
// character begun in its last bytes and not finished there is left out.
qsizetype wholeUtf8Length(QByteArrayView bytes);

// Whether the text begins with UTF-8's byte-order mark.
bool hasUtf8Mark(QByteArrayView bytes);

// Whether decode() gives the bytes back as they are: valid UTF-8 without a
// mark. Such a file is shown from its own bytes.
bool isPlainUtf8(const QByteArray &bytes);

// A file's text as UTF-8, and the encoding it is stored in.
struct Decoded
{
    TextEncoding encoding = TextEncoding::Utf8;
    QByteArray utf8; // without the byte-order mark
};

// Whether decode() takes the bytes for Windows-1252.
bool isWindows1252(const QByteArray &bytes);
// Windows-1252 bytes as UTF-8, for a text converted a piece at a time: the
// size it takes, and the conversion into out, which must have that room. It
// returns the bytes written.
qsizetype windows1252Utf8Size(const char *data, qsizetype size);
qsizetype windows1252ToUtf8(const char *data, qsizetype size, char *out);

// A byte-order mark decides, when the text after it is valid in that
// encoding; otherwise valid UTF-8 is UTF-8 and anything else Windows-1252.
Decoded decode(const QByteArray &bytes);

// UTF-8 text as a file's bytes in encoding, with its mark. Nothing when the
// encoding cannot hold a character of the text (only Windows-1252 cannot
// hold every one).
std::optional<QByteArray> fromUtf8(const QByteArray &utf8, TextEncoding encoding);

// One line of 8-bit text, as the settings file holds it: UTF-8 when valid,
// else Windows-1252.
QString decodeLine(const QByteArray &bytes);

} // namespace TextCodec
