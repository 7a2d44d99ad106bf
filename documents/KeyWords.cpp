#include "documents/KeyWords.h"

#include <Qsci/qsciscintilla.h>

#include <QStringDecoder>

namespace {

QString decoded(const char *bytes, qsizetype length, bool utf8)
{
    if (utf8)
        return QString::fromUtf8(bytes, length);
    QStringDecoder cp1252("windows-1252");
    return cp1252.isValid() ? cp1252.decode(QByteArrayView(bytes, length))
                            : QString::fromLatin1(bytes, length);
}

QString textRange(const QsciScintilla &editor, long start, long end)
{
    if (end <= start)
        return QString();
    const auto *text = reinterpret_cast<const char *>(
        editor.SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, start, end - start));
    return text ? decoded(text, end - start, editor.isUtf8()) : QString();
}

} // namespace

namespace EditorWords {

QString wordAt(const QsciScintilla &editor, long position)
{
    const long start = editor.SendScintilla(QsciScintillaBase::SCI_WORDSTARTPOSITION, position, 1L);
    const long end = editor.SendScintilla(QsciScintillaBase::SCI_WORDENDPOSITION, position, 1L);
    return textRange(editor, start, end);
}

QString helpWord(const QsciScintilla &editor)
{
    const long start = editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const long end = editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
    if (start == end)
        return wordAt(editor, editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    const QString selected = textRange(editor, start, end);
    if (selected.contains(QLatin1Char('\n')) || selected.contains(QLatin1Char('\r')))
        return QString();
    return selected.trimmed();
}

} // namespace EditorWords
