#include "editor/LinePieces.h"

#include <algorithm>
#include <cstring>

namespace {

const char *lastOf(char wanted, const char *from, const char *to)
{
    return static_cast<const char *>(memrchr(from, wanted, size_t(to - from)));
}

bool continuesCharacter(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Cuts one line without its line end, [start, end), into pieces.
void cutLine(const char *text, const char *start, const char *end, std::vector<qsizetype> &cuts)
{
    // The last tenth of a piece is searched for a blank to cut after, so
    // that words and numbers stay whole where the text allows.
    constexpr qsizetype BlankSearch = LinePieces::PieceLength / 10;
    const char *piece = start;
    while (end - piece > LinePieces::PieceLength) {
        const char *cut = piece + LinePieces::PieceLength;
        if (const char *blank = lastOf(' ', cut - BlankSearch, cut)) {
            cut = blank + 1;
        } else {
            // Never between the bytes of one UTF-8 character.
            while (cut > piece + 1 && continuesCharacter(*cut))
                --cut;
        }
        cuts.push_back(cut - text);
        piece = cut;
    }
}

} // namespace

std::vector<qsizetype> LinePieces::cutsIn(QByteArrayView text)
{
    std::vector<qsizetype> cuts;
    const char *begin = text.data();
    const char *end = begin + text.size();
    const char *lineStart = begin;
    // A line feed among the first LongestWholeLine + 1 bytes from a line's
    // start ends every line before it in time; the last one found is where
    // the next look starts. So a text of short lines is passed over a
    // window at a time, reading a few bytes of each.
    while (end - lineStart > LongestWholeLine) {
        const char *window = lineStart + LongestWholeLine + 1;
        if (const char *lineFeed = lastOf('\n', lineStart, window)) {
            lineStart = lineFeed + 1;
            continue;
        }
        const char *runEnd = static_cast<const char *>(memchr(window, '\n', size_t(end - window)));
        if (!runEnd)
            runEnd = end;
        // Within a run without line feeds a lone carriage return ends a line.
        for (const char *start = lineStart; start < runEnd;) {
            const char *lineEnd = static_cast<const char *>(memchr(start, '\r', size_t(runEnd - start)));
            if (!lineEnd)
                lineEnd = runEnd;
            if (lineEnd - start > LongestWholeLine)
                cutLine(begin, start, lineEnd, cuts);
            start = lineEnd + 1;
        }
        lineStart = runEnd == end ? end : runEnd + 1;
    }
    return cuts;
}

LinePieces::LinePieces(std::vector<qsizetype> cutsShown, std::vector<long> continuedLines)
    : m_cutsShown(std::move(cutsShown)), m_continuedLines(std::move(continuedLines))
{}

QByteArray LinePieces::joined(QByteArrayView shown, qsizetype start) const
{
    const auto first = std::lower_bound(m_cutsShown.begin(), m_cutsShown.end(), start);
    const auto last = std::lower_bound(first, m_cutsShown.end(), start + shown.size());
    QByteArray text;
    text.reserve(shown.size() - (last - first));
    qsizetype from = 0;
    for (auto cut = first; cut != last; ++cut) {
        const qsizetype at = *cut - start;
        text.append(shown.sliced(from, at - from));
        from = at + 1;
    }
    text.append(shown.sliced(from));
    return text;
}

std::vector<qsizetype> LinePieces::cutsBetween(qsizetype from, qsizetype to) const
{
    return {std::lower_bound(m_cutsShown.begin(), m_cutsShown.end(), from),
            std::lower_bound(m_cutsShown.begin(), m_cutsShown.end(), to)};
}

long LinePieces::fileLine(long shownLine) const
{
    const auto continued = std::upper_bound(m_continuedLines.begin(), m_continuedLines.end(), shownLine);
    return shownLine - long(continued - m_continuedLines.begin());
}

long LinePieces::firstShownLine(long fileLine) const
{
    // The continued line at index i belongs to file line c - i - 1, which
    // never decreases along the list: the ones of earlier file lines come
    // first.
    size_t low = 0;
    size_t high = m_continuedLines.size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (m_continuedLines[middle] - long(middle) - 1 < fileLine)
            low = middle + 1;
        else
            high = middle;
    }
    return fileLine + long(low);
}

bool LinePieces::continuesLine(long shownLine) const
{
    return std::binary_search(m_continuedLines.begin(), m_continuedLines.end(), shownLine);
}

long LinePieces::fileLineCount(long shownLineCount) const
{
    return shownLineCount - long(m_continuedLines.size());
}
