#include "help/KeyWordIndex.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace {

bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

// UTF-8 as UTF-16. QString::fromUtf8 drops a byte-order mark at the start of
// what it is given; inside the help text that is a character like any other.
QString decoded(QByteArrayView utf8)
{
    if (!utf8.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(utf8);
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(utf8);
}

// The first units UTF-16 units of a text, or all of it when it is shorter.
// A character takes at most three bytes per unit, so only that many bytes are
// decoded; a character cut at their end falls after the units kept.
QString leadingUnits(QByteArrayView utf8, qsizetype units)
{
    return decoded(utf8.first(std::min(utf8.size(), 3 * units + 3))).left(units);
}

// The length in bytes of the start of utf8 that equals text ignoring case as
// QString's compare does, or -1 when utf8 does not start so. At most markers a
// search differs at once: ASCII is compared without decoding anything, and
// the rest a piece at a time, never all of a long search text at each marker.
qsizetype matchedLength(QByteArrayView utf8, QStringView text)
{
    constexpr qsizetype PieceUnits = 32;
    qsizetype matched = 0;
    const qsizetype common = std::min(utf8.size(), text.size());
    while (matched < common && uchar(utf8[matched]) < 0x80 && text[matched].unicode() < 0x80) {
        if (QChar::toCaseFolded(char32_t(uchar(utf8[matched]))) !=
            QChar::toCaseFolded(char32_t(text[matched].unicode())))
            return -1;
        ++matched;
    }
    text = text.sliced(matched);
    while (!text.isEmpty()) {
        qsizetype units = std::min(text.size(), PieceUnits);
        // A surrogate pair folds as one character: its halves stay together.
        if (units < text.size() && text[units - 1].isHighSurrogate())
            ++units;
        const QString piece = leadingUnits(utf8.sliced(matched), units);
        if (piece.compare(text.first(units), Qt::CaseInsensitive) != 0)
            return -1;
        matched += QStringView(piece).toUtf8().size();
        text = text.sliced(units);
    }
    return matched;
}

// The first "##" at or after from, or -1. Looks for single '#' bytes with
// memchr, so even a file without any line break is scanned at memory speed.
qsizetype findMarker(QByteArrayView text, qsizetype from)
{
    const char *data = text.data();
    const qsizetype last = text.size() - 1;
    while (from < last) {
        const auto *hash = static_cast<const char *>(std::memchr(data + from, '#', size_t(last - from)));
        if (!hash)
            return -1;
        const qsizetype p = hash - data;
        if (data[p + 1] == '#')
            return p;
        from = p + 2;
    }
    return -1;
}

qsizetype endOfLine(QByteArrayView text, qsizetype from)
{
    const qsizetype n = text.size();
    while (from < n && !isLineBreak(text[from]))
        ++from;
    return from;
}

// Just past the line break at position at (CR LF counts as one).
qsizetype pastLineBreak(QByteArrayView text, qsizetype at)
{
    const qsizetype n = text.size();
    if (at >= n)
        return n;
    if (text[at] == '\r' && at + 1 < n && text[at + 1] == '\n')
        return at + 2;
    return at + 1;
}

// Calls visit(keyword, entry) for each keyword line in file order until it
// returns false. The entry runs from the next line to the next "##".
template <typename Visit> void forEachKeyWordLine(QByteArrayView text, Visit &&visit)
{
    const qsizetype n = text.size();
    qsizetype from = 0;
    for (;;) {
        const qsizetype p = findMarker(text, from);
        if (p < 0)
            return;
        if (p != 0 && !isLineBreak(text[p - 1])) {
            from = p + 1;
            continue;
        }
        const qsizetype end = endOfLine(text, p + 2);
        const qsizetype entryStart = pastLineBreak(text, end);
        const qsizetype next = findMarker(text, entryStart);
        const qsizetype entryEnd = next < 0 ? n : next;
        if (!visit(text.sliced(p + 2, end - p - 2), text.sliced(entryStart, entryEnd - entryStart)))
            return;
        from = end;
    }
}

// The first lines of an entry, as a tool tip shows them.
QString leadingLines(QByteArrayView entry, int maxLines, int maxLineLength)
{
    QStringList lines;
    qsizetype from = 0;
    while (from < entry.size() && lines.size() < maxLines) {
        const qsizetype end = endOfLine(entry, from);
        lines.append(leadingUnits(entry.sliced(from, end - from), maxLineLength));
        from = pastLineBreak(entry, end);
    }
    while (!lines.isEmpty() && lines.constLast().trimmed().isEmpty())
        lines.removeLast();
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QStringList BuildKeyWordList(QByteArrayView helpText)
{
    QStringList keywords;
    for (const qsizetype start : KeyWordStarts(helpText))
        keywords.append(KeyWordAt(helpText, start));
    return keywords;
}

std::vector<qsizetype> KeyWordStarts(QByteArrayView helpText)
{
    std::vector<qsizetype> starts;
    qsizetype from = 0;
    for (;;) {
        const qsizetype p = findMarker(helpText, from);
        if (p < 0)
            break;
        if (p == 0 || isLineBreak(helpText[p - 1])) {
            starts.push_back(p + 2);
            from = endOfLine(helpText, p + 2);
        } else {
            // Past the first '#' only: in "###" the second and third make a
            // marker too, but they are not at a line start, so nothing is lost.
            from = p + 1;
        }
    }
    return starts;
}

QString KeyWordAt(QByteArrayView helpText, qsizetype start)
{
    return decoded(helpText.sliced(start, endOfLine(helpText, start) - start));
}

bool KeyWordEquals(QByteArrayView helpText, qsizetype start, QStringView text)
{
    const QByteArrayView keyWord = helpText.sliced(start, endOfLine(helpText, start) - start);
    return matchedLength(keyWord, text) == keyWord.size();
}

std::optional<QString> FindHelpEntry(QByteArrayView helpText, QStringView searchText)
{
    const qsizetype n = helpText.size();
    qsizetype match = -1;
    for (qsizetype from = 0;;) {
        const qsizetype p = findMarker(helpText, from);
        // A character takes at least one byte per UTF-16 unit.
        if (p < 0 || n - (p + 2) < searchText.size())
            break;
        if (matchedLength(helpText.sliced(p + 2), searchText) >= 0) {
            match = p;
            break;
        }
        from = p + 1;
    }
    if (match < 0)
        return std::nullopt;

    const qsizetype entryStart = pastLineBreak(helpText, endOfLine(helpText, match));
    const qsizetype next = findMarker(helpText, entryStart);
    const qsizetype entryEnd = next < 0 ? n : next;
    return decoded(helpText.sliced(entryStart, entryEnd - entryStart));
}

std::optional<QString> FindKeyWordEntry(QByteArrayView helpText, QStringView keyWord)
{
    std::optional<QString> found;
    forEachKeyWordLine(helpText, [&](QByteArrayView listed, QByteArrayView entry) {
        if (matchedLength(listed, keyWord) != listed.size())
            return true;
        found = decoded(entry);
        return false;
    });
    return found;
}

QHash<QString, QString> BuildKeyWordHints(QByteArrayView helpText, int maxLines, int maxLineLength)
{
    QHash<QString, QString> hints;
    forEachKeyWordLine(helpText, [&](QByteArrayView keyWord, QByteArrayView entry) {
        const QString folded = decoded(keyWord).toCaseFolded();
        if (!folded.isEmpty() && !hints.contains(folded))
            hints.insert(folded, leadingLines(entry, maxLines, maxLineLength));
        return true;
    });
    return hints;
}
