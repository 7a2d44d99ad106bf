#include "documents/TextSearch.h"

#include "documents/FileTextSpan.h"
#include "documents/TextPattern.h"

#include <Qsci/qsciscintillabase.h>

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

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
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
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

    long length() const { return m_length; }

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

// A match in a span: offsets from its data, with a regular expression's
// groups (the whole match first).
struct Hit
{
    qsizetype start = 0;
    qsizetype end = 0;
    std::vector<TextPattern::Range> groups;
};

using FoundHit = std::optional<Hit>;

// What a search looks for, made once for all the spans it looks in.
// Scintilla's own search steps through a UTF-8 text one character at a time,
// which takes seconds on a file of a million lines. Literal text is found
// byte by byte where no letter or only ASCII ones fold (UTF-8 never puts a
// character's first byte inside another character, so a byte match is a
// character match); everything else goes to PCRE2's compiled code.
class Matcher
{
public:
    explicit Matcher(const Options &options) : m_wholeWord(options.wholeWord)
    {
        const QByteArray needle = options.text.toUtf8();
        if (!options.regularExpression && (options.matchCase || isAscii(needle))) {
            m_forward = std::make_unique<ByteFinder>(needle, !options.matchCase, true);
            m_backward = std::make_unique<ByteFinder>(needle, !options.matchCase, false);
        } else {
            m_pattern = TextPattern::compiled(options.text, !options.regularExpression, options.matchCase);
        }
    }

    bool isReadable() const { return m_forward || m_pattern; }

    // The first match in [from, span.to()) that starts at or after from.
    FoundHit first(const FileTextSpan &span, qsizetype from) const
    {
        for (qsizetype at = from; at <= span.to();) {
            FoundHit hit = m_pattern ? nextInLine(span, at) : nextBytes(span, at);
            if (!hit || !m_wholeWord || span.isWord(hit->start, hit->end))
                return hit;
            at = span.nextCharacter(hit->start);
        }
        return std::nullopt;
    }

    // The match in [span.from(), span.to()) that starts last.
    FoundHit last(const FileTextSpan &span) const { return m_pattern ? lastMatch(span) : lastBytes(span); }

private:
    FoundHit nextBytes(const FileTextSpan &span, qsizetype from) const
    {
        const long at = m_forward->find(span.data() + from, long(span.to() - from));
        if (at < 0)
            return std::nullopt;
        return Hit{from + at, from + at + m_forward->length(), {}};
    }

    FoundHit lastBytes(const FileTextSpan &span) const
    {
        for (qsizetype to = span.to(); to - span.from() >= m_backward->length();) {
            const long at = m_backward->find(span.data() + span.from(), long(to - span.from()));
            if (at < 0)
                break;
            const qsizetype start = span.from() + at;
            if (!m_wholeWord || span.isWord(start, start + m_backward->length()))
                return Hit{start, start + m_backward->length(), {}};
            to = start + m_backward->length() - 1;
        }
        return std::nullopt;
    }

    // As Scintilla did, a match lies within one line: one that runs over a
    // line end gives way to the first match of its first line alone.
    FoundHit nextInLine(const FileTextSpan &span, qsizetype from) const
    {
        const TextPattern::Subject whole{span.data(), span.to(), span.startsLine(), span.lineGoesOnAtTo()};
        while (from <= span.to()) {
            std::optional<std::vector<TextPattern::Range>> groups = m_pattern->match(whole, from);
            if (!groups)
                return std::nullopt;
            const TextPattern::Range found = groups->front();
            const qsizetype lineEnd = lineEndIn(span, found.start, found.end);
            if (lineEnd < 0)
                return Hit{found.start, found.end, std::move(*groups)};
            const TextPattern::Subject line{span.data(), lineEnd, span.startsLine(), false};
            groups = m_pattern->match(line, found.start);
            if (groups)
                return Hit{groups->front().start, groups->front().end, std::move(*groups)};
            from = lineEnd + 1;
            if (span.data()[lineEnd] == '\r' && from < span.to() && span.data()[from] == '\n')
                ++from;
        }
        return std::nullopt;
    }

    // Matches are found forwards, so the last one is looked for in ever
    // larger stretches from the end; each costs at most the text after it.
    FoundHit lastMatch(const FileTextSpan &span) const
    {
        constexpr qsizetype FirstStretch = 64 * 1024;
        qsizetype stretch = FirstStretch;
        for (qsizetype before = span.to();;) {
            qsizetype start = std::max(span.from(), before - stretch);
            while (start > span.from() && (static_cast<unsigned char>(span.data()[start]) & 0xc0) == 0x80)
                --start;
            FoundHit lastFound;
            for (qsizetype at = start; at <= span.to();) {
                FoundHit hit = first(span, at);
                if (!hit || hit->start >= before)
                    break;
                at = span.nextCharacter(hit->start);
                lastFound = std::move(hit);
            }
            if (lastFound || start <= span.from())
                return lastFound;
            before = start;
            stretch *= 2;
        }
    }

    static qsizetype lineEndIn(const FileTextSpan &span, qsizetype start, qsizetype end)
    {
        for (qsizetype i = start; i < end; ++i) {
            if (span.data()[i] == '\r' || span.data()[i] == '\n')
                return i;
        }
        return -1;
    }

    bool m_wholeWord;
    std::unique_ptr<ByteFinder> m_forward;
    std::unique_ptr<ByteFinder> m_backward;
    std::shared_ptr<const TextPattern> m_pattern;
};

// A match as editor positions, with its groups.
struct Located
{
    Match match;
    std::vector<std::pair<long, long>> groups;
};

std::optional<Located> locate(QsciScintillaBase &editor, const Options &options, long from, long to,
                              bool forward)
{
    if (options.text.isEmpty() || from > to)
        return std::nullopt;
    const Matcher matcher(options);
    if (!matcher.isReadable())
        return std::nullopt;
    std::optional<Located> located;
    FileTextSpan::eachIn(editor, from, to, forward, [&](const FileTextSpan &span) {
        const FoundHit hit = forward ? matcher.first(span, span.from()) : matcher.last(span);
        if (!hit)
            return false;
        located.emplace();
        located->match = Match{span.startPosition(hit->start), span.endPosition(hit->end)};
        for (const TextPattern::Range &group : hit->groups) {
            located->groups.emplace_back(group.start < 0 ? -1L : span.startPosition(group.start),
                                         group.start < 0 ? -1L : span.endPosition(group.end));
        }
        return true;
    });
    return located;
}

bool isEmptyAt(const Found &result, long position)
{
    return result && result->start == position && result->end == position;
}

QByteArray textOf(QsciScintillaBase &editor, long start, long end)
{
    return QByteArray(
        reinterpret_cast<const char *>(send(editor, Sci::SCI_GETRANGEPOINTER, start, end - start)),
        end - start);
}

// A regular expression's replacement as Scintilla took it: \0 to \9 stand
// for the match and its groups, \a \b \f \n \r \t \v \\ for what C writes so;
// any other backslash is itself.
QByteArray expandedReplacement(QsciScintillaBase &editor, const QByteArray &replacement,
                               const std::vector<std::pair<long, long>> &groups)
{
    static const char escapes[] = "a\ab\bf\fn\nr\rt\tv\v\\\\";
    QByteArray out;
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const char c = replacement.at(i);
        const char next = i + 1 < replacement.size() ? replacement.at(i + 1) : '\0';
        if (c != '\\' || next == '\0') {
            out += c;
        } else if (next >= '0' && next <= '9') {
            const size_t group = size_t(next - '0');
            if (group < groups.size() && groups[group].first >= 0)
                out += textOf(editor, groups[group].first, groups[group].second);
            ++i;
        } else if (const char *escape = std::strchr(escapes, next); escape && (escape - escapes) % 2 == 0) {
            out += escape[1];
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// Replaces [start, end) with the replacement; returns the end of the new text.
long replaceRange(QsciScintillaBase &editor, const Options &options, const Located &located,
                  const QString &replacement)
{
    const QByteArray bytes = options.regularExpression
                                 ? expandedReplacement(editor, replacement.toUtf8(), located.groups)
                                 : replacement.toUtf8();
    send(editor, Sci::SCI_SETTARGETRANGE, located.match.start, located.match.end);
    editor.SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()), bytes.constData());
    return send(editor, Sci::SCI_GETTARGETEND);
}

} // namespace

bool isReadable(const Options &options)
{
    return options.text.isEmpty() || Matcher(options).isReadable();
}

Found findIn(QsciScintillaBase &editor, const Options &options, long from, long to, bool forward)
{
    const std::optional<Located> located = locate(editor, options, from, to, forward);
    return located ? Found(located->match) : std::nullopt;
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
    // Searching the selection again finds a pattern's groups.
    const std::optional<Located> located = locate(editor, options, start, end, true);
    if (!located)
        return end;
    return replaceRange(editor, options, *located, replacement);
}

int replaceAll(QsciScintillaBase &editor, const Options &options, const QString &replacement)
{
    int count = 0;
    long position = 0;
    send(editor, Sci::SCI_BEGINUNDOACTION);
    for (;;) {
        const std::optional<Located> located = locate(editor, options, position, textLength(editor), true);
        if (!located)
            break;
        position = replaceRange(editor, options, *located, replacement);
        ++count;
        if (located->match.start == located->match.end) {
            if (position >= textLength(editor))
                break;
            position = send(editor, Sci::SCI_POSITIONAFTER, position);
        }
    }
    send(editor, Sci::SCI_ENDUNDOACTION);
    return count;
}

} // namespace TextSearch
