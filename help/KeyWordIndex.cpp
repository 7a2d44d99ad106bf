#include "help/KeyWordIndex.h"

#include <algorithm>

namespace {

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// The first "##" at or after from, or -1. Looks for single '#' characters,
// which Qt finds with vector instructions, so even a file without any line
// break is scanned at memory speed.
qsizetype findMarker(QStringView text, qsizetype from)
{
    const QChar hash = QLatin1Char('#');
    const qsizetype last = text.size() - 1;
    while (from < last) {
        const qsizetype p = text.indexOf(hash, from);
        if (p < 0 || p >= last)
            return -1;
        if (text.at(p + 1) == hash)
            return p;
        from = p + 2;
    }
    return -1;
}

qsizetype endOfLine(QStringView text, qsizetype from)
{
    const qsizetype n = text.size();
    while (from < n && !isLineBreak(text.at(from)))
        ++from;
    return from;
}

// Just past the line break at position at (CR LF counts as one).
qsizetype pastLineBreak(QStringView text, qsizetype at)
{
    const qsizetype n = text.size();
    if (at >= n)
        return n;
    if (text.at(at) == QLatin1Char('\r') && at + 1 < n && text.at(at + 1) == QLatin1Char('\n'))
        return at + 2;
    return at + 1;
}

// Calls visit(keyword, entry) for each keyword line in file order until it
// returns false. The entry runs from the next line to the next "##".
template <typename Visit> void forEachKeyWordLine(QStringView text, Visit &&visit)
{
    const qsizetype n = text.size();
    qsizetype from = 0;
    for (;;) {
        const qsizetype p = findMarker(text, from);
        if (p < 0)
            return;
        if (p != 0 && !isLineBreak(text.at(p - 1))) {
            from = p + 1;
            continue;
        }
        const qsizetype end = endOfLine(text, p + 2);
        const qsizetype entryStart = pastLineBreak(text, end);
        const qsizetype next = findMarker(text, entryStart);
        const qsizetype entryEnd = next < 0 ? n : next;
        if (!visit(text.mid(p + 2, end - p - 2), text.mid(entryStart, entryEnd - entryStart)))
            return;
        from = end;
    }
}

// The first lines of an entry, as a tool tip shows them.
QString leadingLines(QStringView entry, int maxLines, int maxLineLength)
{
    QStringList lines;
    qsizetype from = 0;
    while (from < entry.size() && lines.size() < maxLines) {
        const qsizetype end = endOfLine(entry, from);
        lines.append(entry.mid(from, std::min<qsizetype>(end - from, maxLineLength)).toString());
        from = pastLineBreak(entry, end);
    }
    while (!lines.isEmpty() && lines.constLast().trimmed().isEmpty())
        lines.removeLast();
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QStringList BuildKeyWordList(QStringView helpText)
{
    QStringList keywords;
    qsizetype from = 0;
    for (;;) {
        const qsizetype p = findMarker(helpText, from);
        if (p < 0)
            break;
        if (p == 0 || isLineBreak(helpText.at(p - 1))) {
            const qsizetype end = endOfLine(helpText, p + 2);
            keywords.append(helpText.mid(p + 2, end - p - 2).toString());
            from = end;
        } else {
            // Past the first '#' only: in "###" the second and third make a
            // marker too, but they are not at a line start, so nothing is lost.
            from = p + 1;
        }
    }
    return keywords;
}

std::optional<QString> FindHelpEntry(QStringView helpText, QStringView searchText)
{
    const qsizetype n = helpText.size();
    const qsizetype wanted = searchText.size();
    qsizetype match = -1;
    for (qsizetype from = 0;;) {
        const qsizetype p = findMarker(helpText, from);
        if (p < 0 || n - (p + 2) < wanted)
            break;
        if (helpText.mid(p + 2, wanted).compare(searchText, Qt::CaseInsensitive) == 0) {
            match = p;
            break;
        }
        from = p + 1;
    }
    if (match < 0)
        return std::nullopt;

    const qsizetype entryStart = pastLineBreak(helpText, endOfLine(helpText, match));
    const qsizetype next = findMarker(helpText, entryStart);
    const qsizetype entryEnd = next < 0 ? n : next;
    return helpText.mid(entryStart, entryEnd - entryStart).toString();
}

std::optional<QString> FindKeyWordEntry(QStringView helpText, QStringView keyWord)
{
    std::optional<QString> found;
    forEachKeyWordLine(helpText, [&](QStringView listed, QStringView entry) {
        if (listed.compare(keyWord, Qt::CaseInsensitive) != 0)
            return true;
        found = entry.toString();
        return false;
    });
    return found;
}

QHash<QString, QString> BuildKeyWordHints(QStringView helpText, int maxLines, int maxLineLength)
{
    QHash<QString, QString> hints;
    forEachKeyWordLine(helpText, [&](QStringView keyWord, QStringView entry) {
        const QString folded = keyWord.toString().toCaseFolded();
        if (!folded.isEmpty() && !hints.contains(folded))
            hints.insert(folded, leadingLines(entry, maxLines, maxLineLength));
        return true;
    });
    return hints;
}
