#pragma once

#include <QString>

class QsciScintilla;

// Words of an editor's text, as F1 and the hints take them.
namespace EditorWords {

// The word at or just before position, or an empty string.
QString wordAt(const QsciScintilla &editor, long position);
// What F1 asks help for: the selection when it lies on one line, else the
// word at the caret; trimmed.
QString helpWord(const QsciScintilla &editor);

} // namespace EditorWords
