#include "editor/CaretPosition.h"

#include "editor/TextEditor.h"

CaretPlace caretPlace(const TextEditor &editor)
{
    const LinePieces &pieces = editor.linePieces();
    const long caret = editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const long shownLine = editor.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, caret);
    const long fileLine = pieces.fileLine(shownLine);
    const long firstShown = pieces.firstShownLine(fileLine);
    const long lineStart = editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, firstShown);
    // Every cut between the line's start and the caret is one character
    // that the file does not hold.
    const long characters = editor.SendScintilla(QsciScintillaBase::SCI_COUNTCHARACTERS, lineStart, caret);
    CaretPlace place;
    place.line = fileLine + 1;
    place.column = characters - (shownLine - firstShown) + 1;
    place.lineCount = editor.fileLineCount();
    return place;
}

QString caretPlaceText(const CaretPlace &place)
{
    return QStringLiteral("Ln %1, Col %2 / %3").arg(place.line).arg(place.column).arg(place.lineCount);
}

CaretPositionLabel::CaretPositionLabel(TextEditor *editor, QWidget *parent) : QLabel(parent), m_editor(editor)
{
    setObjectName(QStringLiteral("CaretPosition"));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setToolTip(QStringLiteral("Line and column of the caret / lines in the file"));
    // Scintilla says once per repaint what changed: a burst of typing or a
    // long scroll refreshes the label once.
    connect(editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & (QsciScintillaBase::SC_UPDATE_CONTENT | QsciScintillaBase::SC_UPDATE_SELECTION))
            refresh();
    });
    refresh();
}

void CaretPositionLabel::refresh()
{
    const QString text = caretPlaceText(caretPlace(*m_editor));
    if (text != this->text())
        setText(text);
}
