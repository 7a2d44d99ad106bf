#pragma once

#include "editor/KeyWords.h"

#include <QColor>
#include <QObject>

class QHelpEvent;
class QsciScintilla;

// Colours the words of an editor's text that are keywords of the help file,
// and shows the first lines of a keyword's entry when the mouse rests on it.
// Only the lines on the screen are coloured, as they come into view or
// change, so that loading and typing cost what they cost without it. The
// colour is an indicator, not a style, so the text needs no style bytes.
class KeyWordColouring : public QObject
{
    Q_OBJECT

public:
    // Larger texts stay plain, so that they keep the editor's lean path.
    static constexpr long MaxColouredLength = 4L * 1024 * 1024;
    static const QColor Colour;

    KeyWordColouring(QsciScintilla *editor, SharedKeyWordHints hints);

    void setHints(SharedKeyWordHints hints);
    // Colours the keywords of the document lines first to last (and takes
    // the colour off every other word there).
    void colourLines(long first, long last);
    // The ranges [start, end) of the text that carry the keyword colour.
    QList<std::pair<long, long>> colouredRanges(long start, long end) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void colourShownLines();
    void showHint(QHelpEvent *event);

    QsciScintilla *m_editor;
    QWidget *m_viewport;
    SharedKeyWordHints m_hints;
    int m_indicator = -1;
    long m_shownFirst = -1;
    long m_shownLast = -1;
};
