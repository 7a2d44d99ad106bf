#include "search/TextSearch.h"

#include "editor/TextEditor.h"
#include "search/FileTextSpan.h"
#include "search/TextPattern.h"

#include <Qsci/qsciscintillabase.h>

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
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
// which takes seconds on a file of a million lines. Literal text in its own
// case is found by the C library's memmem(), whose time never depends on
// what the text holds; everything else by PCRE2's compiled code, which skips
// through the text with the processor's vector instructions to where the
// pattern's first characters are.
class Matcher
{
public:
    explicit Matcher(const Options &options) : m_wholeWord(options.wholeWord)
    {
        if (options.matchCase && !options.regularExpression)
            m_needle = options.text.toUtf8();
        else
            m_pattern = TextPattern::compiled(options.text, !options.regularExpression, options.matchCase);
    }

    bool isReadable() const { return !m_needle.isEmpty() || m_pattern; }

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

    // The match in [span.from(), span.to()) that starts last. Matches are
    // found forwards, so it is looked for in ever larger stretches from the
    // end; each costs at most the text after it.
    FoundHit last(const FileTextSpan &span) const
    {
        constexpr qsizetype FirstStretch = qsizetype(64) * 1024;
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

private:
    FoundHit nextBytes(const FileTextSpan &span, qsizetype from) const
    {
        const void *found = memmem(span.data() + from, size_t(span.to() - from), m_needle.constData(),
                                   size_t(m_needle.size()));
        if (!found)
            return std::nullopt;
        const qsizetype start = static_cast<const char *>(found) - span.data();
        return Hit{start, start + m_needle.size(), {}};
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

    static qsizetype lineEndIn(const FileTextSpan &span, qsizetype start, qsizetype end)
    {
        for (qsizetype i = start; i < end; ++i) {
            if (span.data()[i] == '\r' || span.data()[i] == '\n')
                return i;
        }
        return -1;
    }

    bool m_wholeWord;
    QByteArray m_needle;
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

// What \c stands for in a replacement, as in C, or nothing.
std::optional<char> escapedCharacter(char c)
{
    switch (c) {
    case 'a':
        return '\a';
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'v':
        return '\v';
    case '\\':
        return '\\';
    default:
        return std::nullopt;
    }
}

// A regular expression's replacement as Scintilla took it: \0 to \9 stand
// for the match and its groups, \a \b \f \n \r \t \v \\ for what C writes so;
// any other backslash is itself.
QByteArray expandedReplacement(QsciScintillaBase &editor, const QByteArray &replacement,
                               const std::vector<std::pair<long, long>> &groups)
{
    QByteArray out;
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const char c = replacement.at(i);
        const char next = i + 1 < replacement.size() ? replacement.at(i + 1) : '\0';
        if (c == '\\' && next >= '0' && next <= '9') {
            const size_t group = size_t(next - '0');
            if (group < groups.size() && groups[group].first >= 0)
                out += textOf(editor, groups[group].first, groups[group].second);
            ++i;
            continue;
        }
        const std::optional<char> escaped = c == '\\' ? escapedCharacter(next) : std::nullopt;
        out += escaped.value_or(c);
        if (escaped)
            ++i;
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
