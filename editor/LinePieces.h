#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

// A text whose overlong lines are shown cut into pieces, each piece on a line
// of its own: laying out a line costs time in proportion to its length, so a
// line of millions of characters would take seconds to show and again at
// every move along it. A cut is a line feed put into the shown text; the
// file's own text is the shown one without them. The shown text must not be
// edited while it is cut: only the places of the cuts tell them from the
// file's line ends.
class LinePieces
{
public:
    // Lines longer than this are cut.
    static constexpr qsizetype LongestWholeLine = 20000;
    // About the length of a piece; a cut goes after a blank near its end,
    // or between two characters where there is none.
    static constexpr qsizetype PieceLength = 500;

    // Where the text's overlong lines are cut: the offsets, in order, of the
    // bytes that a cut goes before. A line ends at a line feed, a carriage
    // return or both, as in the editor.
    static std::vector<qsizetype> cutsIn(QByteArrayView text);

    LinePieces() = default;
    // The cuts as offsets in the shown text, in order, and the shown lines
    // that begin after them (counting from 0).
    LinePieces(std::vector<qsizetype> cutsShown, std::vector<long> continuedLines);

    bool isEmpty() const { return m_cutsShown.empty(); }
    static constexpr char Cut = '\n';

    // The file's text of the shown range [start, start + shown.size()).
    QByteArray joined(QByteArrayView shown, qsizetype start = 0) const;
    // The cuts in the shown range [from, to), in order.
    std::vector<qsizetype> cutsBetween(qsizetype from, qsizetype to) const;

    // The file's line (counting from 0) that a shown line belongs to.
    long fileLine(long shownLine) const;
    // The first shown line of a file's line.
    long firstShownLine(long fileLine) const;
    // Whether a shown line goes on with the file's line of the one above.
    bool continuesLine(long shownLine) const;
    long fileLineCount(long shownLineCount) const;

private:
    std::vector<qsizetype> m_cutsShown;
    std::vector<long> m_continuedLines;
};
