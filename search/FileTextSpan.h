#pragma once

#include <QByteArray>

#include <algorithm>
#include <vector>

class QsciScintillaBase;

// A stretch of an editor's text as the file has it, for searching: where
// long lines are shown in pieces (see LinePieces) the cuts are taken out, so
// that a search sees the file's own lines. Offsets count bytes from data;
// the text outside [from, to) is there to be looked at (a word's ends, a
// line's start), not searched.
class FileTextSpan
{
public:
    // How a character counts where whole words are told apart, as in the
    // editor's own word moves.
    enum class CharClass { Space, LineEnd, Word, Punctuation };

    // The spans covering the editor positions [from, to) in order (or last
    // one first when !forward), until visit returns true. A text not shown
    // in pieces is one span read where it lies; one in pieces is copied
    // without its cuts, some megabytes of whole lines at a time.
    template <typename Visit>
    static void eachIn(QsciScintillaBase &editor, long from, long to, bool forward, Visit &&visit);

    const char *data() const { return m_data; }
    qsizetype size() const { return m_size; }
    qsizetype from() const { return m_from; }
    qsizetype to() const { return m_to; }
    // Whether data starts a line, and whether the line at to goes on past it.
    bool startsLine() const { return m_startsLine; }
    bool lineGoesOnAtTo() const { return m_lineGoesOnAtTo; }

    // Whether [start, end) is a whole word: a word or punctuation starts at
    // start and ends at end.
    bool isWord(qsizetype start, qsizetype end) const;
    // The start of the character after the one at offset.
    qsizetype nextCharacter(qsizetype offset) const;

    // The editor position of an offset where a match starts, and of one
    // where it ends (a match ending at a cut ends before it).
    long startPosition(qsizetype offset) const;
    long endPosition(qsizetype offset) const;

private:
    static CharClass classOf(char32_t c);

    static constexpr qsizetype SpanBytes = qsizetype(8) << 20;

    FileTextSpan() = default;
    // The whole text between from and to, where it lies.
    static FileTextSpan shown(QsciScintillaBase &editor, long from, long to);
    // The whole lines [lineStart, nextLineStart), cuts taken out.
    static FileTextSpan joined(QsciScintillaBase &editor, long lineStart, long nextLineStart, long from,
                               long to);
    static bool hasPieces(QsciScintillaBase &editor);
    // The start of the file's line that holds position, and of the next one.
    static long fileLineStart(QsciScintillaBase &editor, long position);
    static long nextFileLineStart(QsciScintillaBase &editor, long position);

    CharClass classBefore(qsizetype offset) const;
    CharClass classAt(qsizetype offset) const;

    QByteArray m_copy;
    const char *m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_from = 0;
    qsizetype m_to = 0;
    bool m_startsLine = true;
    bool m_lineGoesOnAtTo = false;
    // The characters just outside data, as far as words go.
    CharClass m_before = CharClass::LineEnd;
    CharClass m_after = CharClass::LineEnd;
    // The editor position of data[0], and the offsets where cuts were.
    long m_position = 0;
    std::vector<qsizetype> m_cuts;
};

template <typename Visit>
void FileTextSpan::eachIn(QsciScintillaBase &editor, long from, long to, bool forward, Visit &&visit)
{
    if (!hasPieces(editor)) {
        visit(shown(editor, from, to));
        return;
    }
    if (forward) {
        for (long start = fileLineStart(editor, from);;) {
            const long next = nextFileLineStart(editor, std::min<long>(to, start + long(SpanBytes)));
            if (visit(joined(editor, start, next, std::max(from, start), std::min(to, next))) || next >= to)
                return;
            start = next;
        }
    }
    for (long next = nextFileLineStart(editor, to);;) {
        const long start = fileLineStart(editor, std::max<long>(from, next - long(SpanBytes)));
        if (visit(joined(editor, start, next, std::max(from, start), std::min(to, next))) || start <= from)
            return;
        next = start;
    }
}
