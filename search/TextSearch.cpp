#include "search/TextSearch.h"

#include "editor/TextEditor.h"

#include <Qsci/qsciscintillabase.h>

#include <QByteArray>

#include <algorithm>
#include <array>

namespace TextSearch {

namespace {

using Sci = QsciScintillaBase;

long send(QsciScintillaBase &editor, unsigned int message, long wParam = 0, long lParam = 0)
{
    return editor.SendScintilla(message, static_cast<unsigned long>(wParam), lParam);
}

long textLength(QsciScintillaBase &editor)
{
    return send(editor, Sci::SCI_GETLENGTH);
}

bool isAscii(const QByteArray &bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Scintilla's own search steps through a UTF-8 text one character at a time,
// which takes seconds on a file of a million lines, and folds the case of
// ASCII letters only. Literal text is found in Scintilla's buffer instead:
// byte by byte where no letter or only ASCII ones fold (UTF-8 never puts a
// character's first byte inside another character, so a byte match is a
// character match), and piece by piece as text where other letters fold.
bool scansBytes(const Options &options, const QByteArray &needle)
{
    return options.matchCase || isAscii(needle);
}

// A piece of the text as characters, read where it lies.
constexpr long PieceBytes = 1 << 20;

bool isCharacterStart(const char *text, long at)
{
    return (static_cast<unsigned char>(text[at]) & 0xc0) != 0x80;
}

// The UTF-8 length of a piece of UTF-16 text.
long utf8Length(QStringView text)
{
    long bytes = 0;
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit < 0x80)
            bytes += 1;
        else if (unit < 0x800)
            bytes += 2;
        else
            // A low surrogate adds one to its high surrogate's three.
            bytes += c.isLowSurrogate() ? 1 : 3;
    }
    return bytes;
}

// Boyer-Moore-Horspool over bytes, forwards or backwards; with fold, the
// letters A to Z match either case.
class ByteFinder
{
public:
    ByteFinder(const QByteArray &needle, bool fold, bool forward)
        : m_needle(needle), m_length(long(needle.size())), m_forward(forward)
    {
        for (int c = 0; c < 256; ++c)
            m_folded[c] = static_cast<unsigned char>(fold && c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        for (char &c : m_needle)
            c = static_cast<char>(m_folded[static_cast<unsigned char>(c)]);
        m_shift.fill(m_length);
        // How far the window may move when the byte at its scanned end
        // does not complete a match.
        if (m_forward) {
            for (long i = 0; i + 1 < m_length; ++i)
                m_shift[byteAt(m_needle, i)] = m_length - 1 - i;
        } else {
            for (long i = m_length - 1; i >= 1; --i)
                m_shift[byteAt(m_needle, i)] = i;
        }
    }

    // The first (forward) or last start of the needle in text[0, size), or -1.
    long find(const char *text, long size) const
    {
        if (m_length == 0 || size < m_length)
            return -1;
        if (m_forward) {
            const unsigned char last = byteAt(m_needle, m_length - 1);
            for (long pos = 0; pos <= size - m_length;) {
                const unsigned char c = m_folded[byteAt(text, pos + m_length - 1)];
                if (c == last && equalAt(text + pos, 0, m_length - 1))
                    return pos;
                pos += m_shift[c];
            }
        } else {
            const unsigned char first = byteAt(m_needle, 0);
            for (long pos = size - m_length; pos >= 0;) {
                const unsigned char c = m_folded[byteAt(text, pos)];
                if (c == first && equalAt(text + pos, 1, m_length))
                    return pos;
                pos -= m_shift[c];
            }
        }
        return -1;
    }

private:
    static unsigned char byteAt(const char *text, long i) { return static_cast<unsigned char>(text[i]); }
    static unsigned char byteAt(const QByteArray &text, long i) { return byteAt(text.constData(), i); }

    bool equalAt(const char *window, long from, long to) const
    {
        for (long i = from; i < to; ++i) {
            if (m_folded[byteAt(window, i)] != byteAt(m_needle, i))
                return false;
        }
        return true;
    }

    QByteArray m_needle;
    long m_length;
    bool m_forward;
    std::array<unsigned char, 256> m_folded{};
    std::array<long, 256> m_shift{};
};

Found scan(QsciScintillaBase &editor, const Options &options, const QByteArray &needle, long from, long to,
           bool forward)
{
    const ByteFinder finder(needle, !options.matchCase, forward);
    const long length = long(needle.size());
    while (to - from >= length) {
        // A pointer into Scintilla's own buffer: at most the gap moves.
        const auto *text =
            reinterpret_cast<const char *>(send(editor, Sci::SCI_GETRANGEPOINTER, from, to - from));
        const long at = finder.find(text, to - from);
        if (at < 0)
            break;
        const long start = from + at;
        if (!options.wholeWord || send(editor, Sci::SCI_ISRANGEWORD, start, start + length))
            return Match{start, start + length};
        if (forward)
            from = start + 1;
        else
            to = start + length - 1;
    }
    return std::nullopt;
}

// Case folding beyond ASCII: a piece of the text at a time becomes a
// QString, which compares letters without case; pieces overlap by more than
// a match can span.
Found scanCharacters(QsciScintillaBase &editor, const Options &options, long from, long to, bool forward)
{
    const QString &needle = options.text;
    const long overlap = 4 * long(needle.size()) + 4;
    const auto check = [&](long pieceStart, const QString &piece, qsizetype at, Found &result) {
        const long start = pieceStart + utf8Length(QStringView(piece).left(at));
        const long end = start + utf8Length(QStringView(piece).mid(at, needle.size()));
        if (options.wholeWord && !send(editor, Sci::SCI_ISRANGEWORD, start, end))
            return false;
        result = Match{start, end};
        return true;
    };
    // The text from `from` on, where it lies; positions below are the
    // editor's, so they are taken relative to it.
    const auto *text =
        reinterpret_cast<const char *>(send(editor, Sci::SCI_GETRANGEPOINTER, from, to - from));
    const auto startsCharacter = [text, from](long position) {
        return isCharacterStart(text, position - from);
    };
    Found result;
    long pieceStart = from;
    long pieceEnd = to;
    while (pieceStart < pieceEnd) {
        if (forward) {
            pieceEnd = std::min(to, pieceStart + PieceBytes);
            while (pieceEnd < to && !startsCharacter(pieceEnd))
                --pieceEnd;
        } else {
            pieceStart = std::max(from, pieceEnd - PieceBytes);
            while (pieceStart > from && !startsCharacter(pieceStart))
                ++pieceStart;
        }
        const QString piece = QString::fromUtf8(text + (pieceStart - from), pieceEnd - pieceStart);
        if (forward) {
            for (qsizetype at = piece.indexOf(needle, 0, Qt::CaseInsensitive); at >= 0;
                 at = piece.indexOf(needle, at + 1, Qt::CaseInsensitive)) {
                if (check(pieceStart, piece, at, result))
                    return result;
            }
            if (pieceEnd >= to)
                break;
            pieceStart = std::max(pieceStart + 1, pieceEnd - overlap);
            while (!startsCharacter(pieceStart))
                ++pieceStart;
            pieceEnd = to;
        } else {
            for (qsizetype at = piece.lastIndexOf(needle, -1, Qt::CaseInsensitive); at >= 0;
                 at = at > 0 ? piece.lastIndexOf(needle, at - 1, Qt::CaseInsensitive) : -1) {
                if (check(pieceStart, piece, at, result))
                    return result;
            }
            if (pieceStart <= from)
                break;
            pieceEnd = std::min(pieceEnd - 1, pieceStart + overlap);
            while (!startsCharacter(pieceEnd))
                --pieceEnd;
            pieceStart = from;
        }
    }
    return std::nullopt;
}

// Calls take(start, end) with each match in window, in bytes from its start
// and in order, until it returns true.
template <typename Take>
void eachMatchIn(const QByteArray &window, const Options &options, const QByteArray &needle, Take &&take)
{
    if (scansBytes(options, needle)) {
        const ByteFinder finder(needle, !options.matchCase, true);
        for (long from = 0;;) {
            const long at = finder.find(window.constData() + from, long(window.size()) - from);
            if (at < 0 || take(from + at, from + at + long(needle.size())))
                return;
            from += at + 1;
        }
    }
    const QString text = QString::fromUtf8(window);
    for (qsizetype at = text.indexOf(options.text, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(options.text, at + 1, Qt::CaseInsensitive)) {
        const long start = utf8Length(QStringView(text).left(at));
        if (take(start, start + utf8Length(QStringView(text).mid(at, options.text.size()))))
            return;
    }
}

// The cuts of a text shown in pieces (see LinePieces) are no part of the
// file: a match running over one is looked for in the text around each cut
// without it. found is the match found elsewhere; the nearer one wins.
Found acrossCuts(QsciScintillaBase &editor, const Options &options, const QByteArray &needle, long from,
                 long to, bool forward, Found found)
{
    const auto *textEditor = qobject_cast<const TextEditor *>(&editor);
    if (!textEditor || !textEditor->showsLinesInPieces())
        return found;
    // Beyond ASCII a letter may fold to one of another length in bytes.
    const long reach = scansBytes(options, needle) ? long(needle.size()) : 4 * long(options.text.size()) + 4;
    std::vector<qsizetype> cuts = textEditor->linePieces().cutsBetween(from, to);
    if (!forward)
        std::reverse(cuts.begin(), cuts.end());
    const auto *text = reinterpret_cast<const char *>(send(editor, Sci::SCI_GETCHARACTERPOINTER));
    for (const qsizetype cut : cuts) {
        // Matches over the cuts further on lie beyond the one found.
        if (found && (forward ? found->start <= cut - reach : found->start > cut))
            break;
        long windowStart = std::max(from, long(cut) - reach);
        while (windowStart > from && !isCharacterStart(text, windowStart))
            --windowStart;
        long windowEnd = std::min(to, long(cut) + 1 + reach);
        while (windowEnd < to && !isCharacterStart(text, windowEnd))
            ++windowEnd;
        QByteArray window(text + windowStart, cut - windowStart);
        window.append(text + cut + 1, windowEnd - cut - 1);
        const long cutAt = long(cut) - windowStart;
        eachMatchIn(window, options, needle, [&](long start, long end) {
            if (start >= cutAt || end <= cutAt)
                return false;
            const Match match{windowStart + start, windowStart + end + 1};
            if (options.wholeWord && !send(editor, Sci::SCI_ISRANGEWORD, match.start, match.end))
                return false;
            if (!found || (forward ? match.start < found->start : match.start > found->start))
                found = match;
            // Forward the first one is the one; backward the last.
            return forward;
        });
    }
    return found;
}

int searchFlags(const Options &options)
{
    int flags = 0;
    if (options.matchCase)
        flags |= Sci::SCFIND_MATCHCASE;
    if (options.wholeWord)
        flags |= Sci::SCFIND_WHOLEWORD;
    // POSIX: ( ) group without backslashes, as users of other tools expect.
    if (options.regularExpression)
        flags |= Sci::SCFIND_REGEXP | Sci::SCFIND_POSIX;
    return flags;
}

// Leaves the match as Scintilla's target, with a regular expression's groups
// ready for a replacement.
Found searchInTarget(QsciScintillaBase &editor, const Options &options, const QByteArray &needle, long from,
                     long to, bool forward)
{
    send(editor, Sci::SCI_SETSEARCHFLAGS, searchFlags(options));
    send(editor, Sci::SCI_SETTARGETRANGE, forward ? from : to, forward ? to : from);
    const long at = editor.SendScintilla(Sci::SCI_SEARCHINTARGET, static_cast<unsigned long>(needle.size()),
                                         needle.constData());
    if (at < 0)
        return std::nullopt;
    return Match{send(editor, Sci::SCI_GETTARGETSTART), send(editor, Sci::SCI_GETTARGETEND)};
}

bool isEmptyAt(const Found &result, long position)
{
    return result && result->start == position && result->end == position;
}

QByteArray replacementBytes(const QString &replacement)
{
    return replacement.toUtf8();
}

// Replaces the target, which holds a match; returns the end of the new text.
long replaceTarget(QsciScintillaBase &editor, const Options &options, const QByteArray &replacement)
{
    const unsigned int message =
        options.regularExpression ? Sci::SCI_REPLACETARGETRE : Sci::SCI_REPLACETARGET;
    editor.SendScintilla(message, static_cast<unsigned long>(replacement.size()), replacement.constData());
    return send(editor, Sci::SCI_GETTARGETEND);
}

} // namespace

Found findIn(QsciScintillaBase &editor, const Options &options, long from, long to, bool forward)
{
    const QByteArray needle = options.text.toUtf8();
    if (needle.isEmpty() || from > to)
        return std::nullopt;
    if (options.regularExpression)
        return searchInTarget(editor, options, needle, from, to, forward);
    const Found found = scansBytes(options, needle) ? scan(editor, options, needle, from, to, forward)
                                                    : scanCharacters(editor, options, from, to, forward);
    return acrossCuts(editor, options, needle, from, to, forward, found);
}

Found findNext(QsciScintillaBase &editor, const Options &options, bool forward, bool wrapAround)
{
    const long length = textLength(editor);
    const long selectionStart = send(editor, Sci::SCI_GETSELECTIONSTART);
    const long selectionEnd = send(editor, Sci::SCI_GETSELECTIONEND);
    Found result;
    if (forward) {
        result = findIn(editor, options, selectionEnd, length, true);
        // An empty match where the search began would be found for ever.
        if (isEmptyAt(result, selectionEnd))
            result = selectionEnd < length
                         ? findIn(editor, options, send(editor, Sci::SCI_POSITIONAFTER, selectionEnd), length,
                                  true)
                         : std::nullopt;
    } else {
        result = findIn(editor, options, 0, selectionStart, false);
        if (isEmptyAt(result, selectionStart))
            result = selectionStart > 0 ? findIn(editor, options, 0,
                                                 send(editor, Sci::SCI_POSITIONBEFORE, selectionStart), false)
                                        : std::nullopt;
    }
    if (!result && wrapAround)
        result = findIn(editor, options, 0, length, forward);
    return result;
}

bool selectionMatches(QsciScintillaBase &editor, const Options &options)
{
    const long start = send(editor, Sci::SCI_GETSELECTIONSTART);
    const long end = send(editor, Sci::SCI_GETSELECTIONEND);
    const Found result = findIn(editor, options, start, end, true);
    return result && result->start == start && result->end == end;
}

long replaceSelection(QsciScintillaBase &editor, const Options &options, const QString &replacement)
{
    const long start = send(editor, Sci::SCI_GETSELECTIONSTART);
    const long end = send(editor, Sci::SCI_GETSELECTIONEND);
    // Searching the selection again sets the target and a pattern's groups.
    const Found result = findIn(editor, options, start, end, true);
    if (!result)
        return end;
    send(editor, Sci::SCI_SETTARGETRANGE, result->start, result->end);
    return replaceTarget(editor, options, replacementBytes(replacement));
}

int replaceAll(QsciScintillaBase &editor, const Options &options, const QString &replacement)
{
    const QByteArray bytes = replacementBytes(replacement);
    int count = 0;
    long position = 0;
    send(editor, Sci::SCI_BEGINUNDOACTION);
    for (;;) {
        const long length = textLength(editor);
        const Found result = findIn(editor, options, position, length, true);
        if (!result)
            break;
        send(editor, Sci::SCI_SETTARGETRANGE, result->start, result->end);
        position = replaceTarget(editor, options, bytes);
        ++count;
        if (result->start == result->end) {
            if (position >= textLength(editor))
                break;
            position = send(editor, Sci::SCI_POSITIONAFTER, position);
        }
    }
    send(editor, Sci::SCI_ENDUNDOACTION);
    return count;
}

} // namespace TextSearch
