#include "editor/KeyWords.h"

#include <Qsci/qsciscintilla.h>

#include <QStringDecoder>

#include <algorithm>

namespace {

bool isWordByte(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c >= 0x80;
}

QString decoded(const char *bytes, qsizetype length, bool utf8)
{
    if (utf8)
        return QString::fromUtf8(bytes, length);
    QStringDecoder cp1252("windows-1252");
    return cp1252.isValid() ? cp1252.decode(QByteArrayView(bytes, length))
                            : QString::fromLatin1(bytes, length);
}

} // namespace

namespace EditorWords {

QString textBetween(const QsciScintilla &editor, long start, long end)
{
    if (end <= start)
        return QString();
    const auto *text = reinterpret_cast<const char *>(
        editor.SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, start, end - start));
    return text ? decoded(text, end - start, editor.isUtf8()) : QString();
}

} // namespace EditorWords

KeyWordHints::KeyWordHints(QHash<QString, QString> hints, const QStringList &spellings)
    : m_hints(std::move(hints))
{
    QHash<QString, QString> spelled;
    spelled.reserve(m_hints.size());
    for (const QString &spelling : spellings) {
        const QString folded = spelling.toCaseFolded();
        if (m_hints.contains(folded) && !spelled.contains(folded))
            spelled.insert(folded, spelling.trimmed());
    }
    m_sorted.reserve(size_t(m_hints.size()));
    for (auto it = m_hints.cbegin(); it != m_hints.cend(); ++it) {
        m_longest = std::max(m_longest, it.key().size());
        const QString spelling = spelled.value(it.key(), it.key().trimmed());
        if (!spelling.isEmpty())
            m_sorted.emplace_back(it.key(), spelling);
    }
    std::sort(m_sorted.begin(), m_sorted.end());
}

QList<KeyWordHints::Completion> KeyWordHints::completions(const QString &prefix, qsizetype limit) const
{
    const QString folded = prefix.toCaseFolded();
    QList<Completion> found;
    auto it = std::lower_bound(m_sorted.cbegin(), m_sorted.cend(), folded,
                               [](const auto &entry, const QString &key) { return entry.first < key; });
    for (; it != m_sorted.cend() && found.size() < limit && it->first.startsWith(folded); ++it) {
        // The entry's first line that says something.
        QString firstLine;
        for (const QString &line : m_hints.value(it->first).split(QLatin1Char('\n'))) {
            firstLine = line.trimmed();
            if (!firstLine.isEmpty())
                break;
        }
        found.append({it->second, firstLine});
    }
    return found;
}

bool KeyWordHints::isKeyWord(const QString &word) const
{
    return isFoldedKeyWord(word.toCaseFolded());
}

QString KeyWordHints::hintFor(const QString &word) const
{
    return m_hints.value(word.toCaseFolded());
}

QList<std::pair<qsizetype, qsizetype>> KeyWordHints::keyWordRanges(const char *text, qsizetype length,
                                                                   bool utf8) const
{
    QList<std::pair<qsizetype, qsizetype>> ranges;
    if (m_hints.isEmpty())
        return ranges;
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    // One key for every ASCII word, so that looking up a word costs no memory.
    QString key;
    qsizetype i = 0;
    while (i < length) {
        if (!isWordByte(bytes[i])) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        bool ascii = true;
        while (i < length && isWordByte(bytes[i])) {
            ascii = ascii && bytes[i] < 0x80;
            ++i;
        }
        const qsizetype size = i - start;
        // A UTF-8 keyword of n characters takes at least n bytes.
        if (ascii && size > m_longest)
            continue;
        bool found = false;
        if (ascii) {
            key.resize(size);
            QChar *out = key.data();
            for (qsizetype k = 0; k < size; ++k) {
                const unsigned char c = bytes[start + k];
                out[k] = QLatin1Char(char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c));
            }
            found = isFoldedKeyWord(key);
        } else {
            found = isFoldedKeyWord(decoded(text + start, size, utf8).toCaseFolded());
        }
        if (found)
            ranges.append({start, i});
    }
    return ranges;
}

namespace EditorWords {

QString wordAt(const QsciScintilla &editor, long position)
{
    const long start = editor.SendScintilla(QsciScintillaBase::SCI_WORDSTARTPOSITION, position, 1L);
    const long end = editor.SendScintilla(QsciScintillaBase::SCI_WORDENDPOSITION, position, 1L);
    return textBetween(editor, start, end);
}

QString helpWord(const QsciScintilla &editor)
{
    const long start = editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const long end = editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
    if (start == end)
        return wordAt(editor, editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    const QString selected = textBetween(editor, start, end);
    if (selected.contains(QLatin1Char('\n')) || selected.contains(QLatin1Char('\r')))
        return QString();
    return selected.trimmed();
}

} // namespace EditorWords
