#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

// The help file is plain text in which a line starting with "##" opens a
// keyword; the rest of that line is the keyword, taken verbatim. A line ends
// at CR LF, a lone CR or a lone LF.
//
// The help text is taken as UTF-8 (TextFile::readText's): markers and line
// breaks are ASCII, whose bytes occur in no other character, so the text is
// scanned as bytes and only what is returned is decoded. Decoding a whole
// help file of many megabytes would cost more than everything else together.
// Lengths and cuts still count UTF-16 units, as in the QString returned.

// The keywords in file order, duplicates and empty keywords included.
QStringList BuildKeyWordList(QByteArrayView helpText);

// The same without decoding any: where each keyword starts (just after its
// "##"), in file order; KeyWordAt decodes one.
std::vector<qsizetype> KeyWordStarts(QByteArrayView helpText);
QString KeyWordAt(QByteArrayView helpText, qsizetype start);
// Whether the keyword at start equals text ignoring case, as QString's
// compare has it.
bool KeyWordEquals(QByteArrayView helpText, qsizetype start, QStringView text);

// The entry for a search text: the text from the start of the line after the
// first "##" + searchText (matched anywhere, ignoring case) up to the next
// "##" or the end of the text. Nothing when "##" + searchText occurs nowhere.
std::optional<QString> FindHelpEntry(QByteArrayView helpText, QStringView searchText);

// The entry of the first keyword line whose keyword equals keyWord ignoring
// case: that keyword's own entry, even where a search for the text would stop
// at a longer keyword that begins with it. Nothing when no keyword equals it.
std::optional<QString> FindKeyWordEntry(QByteArrayView helpText, QStringView keyWord);

// For every keyword (case-folded; the first keyword line of each wins) the
// first maxLines lines of its entry, each cut to maxLineLength characters,
// without empty lines at the end.
QHash<QString, QString> BuildKeyWordHints(QByteArrayView helpText, int maxLines, int maxLineLength);
