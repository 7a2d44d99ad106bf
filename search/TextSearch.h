#pragma once

#include <QString>

#include <optional>

class QsciScintillaBase;

// Searching an editor's text where it lies: positions are Scintilla's byte
// positions in its UTF-8 text, and nothing is copied out of the editor.
namespace TextSearch {

// A regular expression is PCRE2's (see TextPattern); it finds nothing when
// it cannot be read (isReadable). Without match case, letters beyond ASCII
// match in either case too. A match never runs over a line end.
struct Options
{
    QString text;
    bool matchCase = false;
    bool wholeWord = false;
    bool regularExpression = false;
};

struct Match
{
    long start = 0;
    long end = 0;
};

using Found = std::optional<Match>;

// Whether the text to find can be read: only a regular expression may not.
bool isReadable(const Options &options);

// The first match in [from, to) when forward, the last one when not. In a
// text shown in pieces every search sees the file's own lines: a match may
// run over a cut, "^" matches only where a line of the file starts, and a
// cut between two letters is no word's end.
Found findIn(QsciScintillaBase &editor, const Options &options, long from, long to, bool forward);

// The next match after the selection (forward) or the one before it, the
// selection itself not counting again; with wrapAround the search goes on
// from the other end of the text.
Found findNext(QsciScintillaBase &editor, const Options &options, bool forward, bool wrapAround);

// Whether the selection is exactly a match, as after findNext.
bool selectionMatches(QsciScintillaBase &editor, const Options &options);

// Replaces the selected match (regular expressions fill in \0 to \9) and
// returns the position after the replacement text.
long replaceSelection(QsciScintillaBase &editor, const Options &options, const QString &replacement);

// Replaces every match in the text as one step for undo; returns the count.
int replaceAll(QsciScintillaBase &editor, const Options &options, const QString &replacement);

} // namespace TextSearch
