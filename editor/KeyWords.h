#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

class QsciScintilla;

// The help file's keywords as the editor windows know them: which words are
// keywords (compared ignoring case) and the first lines of each one's entry.
// Read by the frame when the help file is set; the windows share one copy.
class KeyWordHints
{
public:
    KeyWordHints() = default;
    // hints maps each keyword, case-folded, to the first lines of its entry;
    // spellings are the keywords as the help file writes them (the first
    // spelling of a keyword is the one completion offers).
    explicit KeyWordHints(QHash<QString, QString> hints, const QStringList &spellings = {});

    bool isEmpty() const { return m_hints.isEmpty(); }
    bool isKeyWord(const QString &word) const;
    // The first lines of the entry; empty when word is no keyword.
    QString hintFor(const QString &word) const;

    // The keywords' ranges [start, end) in a line-bounded piece of a text's
    // bytes (UTF-8, or 8-bit Windows-1252 when utf8 is false). A word is a
    // run of letters, digits, "_" and bytes from 0x80, as the editor's own
    // word movements take it.
    QList<std::pair<qsizetype, qsizetype>> keyWordRanges(const char *text, qsizetype length, bool utf8) const;

    // A keyword that completes a word, with the first line of its entry.
    struct Completion
    {
        QString keyWord;
        QString firstLine;
    };
    // The keywords that begin with prefix ignoring case, in the order of
    // their case-folded text, at most limit of them. A search in the index
    // made once with the hints, so typing costs the same with any number.
    QList<Completion> completions(const QString &prefix, qsizetype limit) const;

private:
    bool isFoldedKeyWord(const QString &folded) const { return m_hints.contains(folded); }

    QHash<QString, QString> m_hints;
    qsizetype m_longest = 0;
    // Case-folded keyword and its spelling, sorted by the first.
    std::vector<std::pair<QString, QString>> m_sorted;
};

using SharedKeyWordHints = std::shared_ptr<const KeyWordHints>;

// Words of an editor's text, as F1 and the hints take them.
namespace EditorWords {

// The word at or just before position, or an empty string.
QString wordAt(const QsciScintilla &editor, long position);
// The text of [start, end).
QString textBetween(const QsciScintilla &editor, long start, long end);
// What F1 asks help for: the selection when it lies on one line, else the
// word at the caret; trimmed.
QString helpWord(const QsciScintilla &editor);

} // namespace EditorWords
