#include "search/FileTextSpan.h"

#include "editor/TextEditor.h"

#include <Qsci/qsciscintillabase.h>

#include <QChar>

namespace {

using Sci = QsciScintillaBase;

long send(QsciScintillaBase &editor, unsigned int message, long wParam = 0, long lParam = 0)
{
    return editor.SendScintilla(message, static_cast<unsigned long>(wParam), lParam);
}

bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

bool continuesCharacter(char c)
{
    return (static_cast<unsigned char>(c) & 0xc0) == 0x80;
}

// The character whose UTF-8 starts at data[at]; a broken one reads as U+FFFD.
char32_t characterAt(const char *data, qsizetype at, qsizetype size)
{
    const auto lead = static_cast<unsigned char>(data[at]);
    if (lead < 0x80)
        return lead;
    const int extra = lead >= 0xf0 ? 3 : lead >= 0xe0 ? 2 : lead >= 0xc0 ? 1 : 0;
    if (extra == 0 || at + extra >= size)
        return QChar::ReplacementCharacter;
    char32_t c = lead & (0x3f >> extra);
    for (int k = 1; k <= extra; ++k)
        c = (c << 6) | (static_cast<unsigned char>(data[at + k]) & 0x3f);
    return c;
}

// The character at position, read without moving Scintilla's gap.
char32_t editorCharacter(QsciScintillaBase &editor, long position)
{
    const long length = send(editor, Sci::SCI_GETLENGTH);
    char bytes[4] = {};
    qsizetype size = 0;
    for (; size < 4 && position + size < length; ++size)
        bytes[size] = char(send(editor, Sci::SCI_GETCHARAT, position + long(size)));
    return size > 0 ? characterAt(bytes, 0, size) : char32_t(' ');
}

const LinePieces &piecesOf(QsciScintillaBase &editor)
{
    return static_cast<const TextEditor &>(editor).linePieces();
}

} // namespace

bool FileTextSpan::hasPieces(QsciScintillaBase &editor)
{
    const auto *textEditor = qobject_cast<const TextEditor *>(&editor);
    return textEditor && textEditor->showsLinesInPieces();
}

long FileTextSpan::fileLineStart(QsciScintillaBase &editor, long position)
{
    const LinePieces &pieces = piecesOf(editor);
    const long shownLine = send(editor, Sci::SCI_LINEFROMPOSITION, position);
    return send(editor, Sci::SCI_POSITIONFROMLINE, pieces.firstShownLine(pieces.fileLine(shownLine)));
}

long FileTextSpan::nextFileLineStart(QsciScintillaBase &editor, long position)
{
    const LinePieces &pieces = piecesOf(editor);
    const long shownLine = send(editor, Sci::SCI_LINEFROMPOSITION, position);
    const long next = pieces.firstShownLine(pieces.fileLine(shownLine) + 1);
    return next >= send(editor, Sci::SCI_GETLINECOUNT) ? send(editor, Sci::SCI_GETLENGTH)
                                                       : send(editor, Sci::SCI_POSITIONFROMLINE, next);
}

FileTextSpan FileTextSpan::shown(QsciScintillaBase &editor, long from, long to)
{
    const long length = send(editor, Sci::SCI_GETLENGTH);
    FileTextSpan span;
    // A pointer into Scintilla's own buffer: at most its gap moves.
    span.m_data = reinterpret_cast<const char *>(send(editor, Sci::SCI_GETRANGEPOINTER, from, to - from));
    // An empty text may have no buffer at all; the matchers want a text.
    if (!span.m_data)
        span.m_data = "";
    span.m_size = to - from;
    span.m_to = span.m_size;
    span.m_position = from;
    span.m_startsLine = from == 0 || isLineBreak(char(send(editor, Sci::SCI_GETCHARAT, from - 1)));
    span.m_lineGoesOnAtTo = to < length && !isLineBreak(char(send(editor, Sci::SCI_GETCHARAT, to)));
    if (from > 0)
        span.m_before = classOf(editorCharacter(editor, send(editor, Sci::SCI_POSITIONBEFORE, from)));
    if (to < length)
        span.m_after = classOf(editorCharacter(editor, to));
    return span;
}

FileTextSpan FileTextSpan::joined(QsciScintillaBase &editor, long lineStart, long nextLineStart, long from,
                                  long to)
{
    const LinePieces &pieces = piecesOf(editor);
    const auto *text = reinterpret_cast<const char *>(
        send(editor, Sci::SCI_GETRANGEPOINTER, lineStart, nextLineStart - lineStart));
    FileTextSpan span;
    span.m_copy = pieces.joined(QByteArrayView(text, nextLineStart - lineStart), lineStart);
    span.m_data = span.m_copy.constData();
    span.m_size = span.m_copy.size();
    span.m_position = lineStart;
    const std::vector<qsizetype> cuts = pieces.cutsBetween(lineStart, nextLineStart);
    span.m_cuts.reserve(cuts.size());
    for (size_t k = 0; k < cuts.size(); ++k)
        span.m_cuts.push_back(cuts[k] - lineStart - qsizetype(k));
    const auto offsetOf = [&](long position) {
        const auto before = std::lower_bound(cuts.begin(), cuts.end(), position) - cuts.begin();
        return qsizetype(position - lineStart) - qsizetype(before);
    };
    span.m_from = offsetOf(from);
    span.m_to = offsetOf(to);
    span.m_lineGoesOnAtTo = span.m_to < span.m_size && !isLineBreak(span.m_data[span.m_to]);
    return span;
}

long FileTextSpan::startPosition(qsizetype offset) const
{
    const auto cuts = std::upper_bound(m_cuts.begin(), m_cuts.end(), offset) - m_cuts.begin();
    return m_position + long(offset) + long(cuts);
}

long FileTextSpan::endPosition(qsizetype offset) const
{
    const auto cuts = std::lower_bound(m_cuts.begin(), m_cuts.end(), offset) - m_cuts.begin();
    return m_position + long(offset) + long(cuts);
}

qsizetype FileTextSpan::nextCharacter(qsizetype offset) const
{
    ++offset;
    while (offset < m_size && continuesCharacter(m_data[offset]))
        ++offset;
    return offset;
}

FileTextSpan::CharClass FileTextSpan::classBefore(qsizetype offset) const
{
    if (offset <= 0)
        return m_before;
    qsizetype start = offset - 1;
    while (start > 0 && continuesCharacter(m_data[start]))
        --start;
    return classOf(characterAt(m_data, start, offset));
}

FileTextSpan::CharClass FileTextSpan::classAt(qsizetype offset) const
{
    return offset >= m_size ? m_after : classOf(characterAt(m_data, offset, m_size));
}

bool FileTextSpan::isWord(qsizetype start, qsizetype end) const
{
    const auto wordOrPunctuation = [](CharClass c) {
        return c == CharClass::Word || c == CharClass::Punctuation;
    };
    const CharClass first = classAt(start);
    const CharClass last = classBefore(end);
    return wordOrPunctuation(first) && first != classBefore(start) && wordOrPunctuation(last) &&
           last != classAt(end);
}

FileTextSpan::CharClass FileTextSpan::classOf(char32_t c)
{
    if (c < 0x80) {
        if (c == '\r' || c == '\n')
            return CharClass::LineEnd;
        if (c < 0x20 || c == ' ')
            return CharClass::Space;
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        return letterOrDigit || c == '_' ? CharClass::Word : CharClass::Punctuation;
    }
    switch (QChar::category(c)) {
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return CharClass::LineEnd;
    case QChar::Separator_Space:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return CharClass::Space;
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return CharClass::Word;
    default:
        return CharClass::Punctuation;
    }
}
