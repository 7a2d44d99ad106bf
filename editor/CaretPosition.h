#pragma once

#include <QLabel>
#include <QString>

class TextEditor;

// Where the caret is, counted as the file's lines are (a line shown in
// pieces is one line), from 1.
struct CaretPlace
{
    long line = 1;
    long column = 1;
    long lineCount = 1;
};

CaretPlace caretPlace(const TextEditor &editor);
// "Ln 500000, Col 1 / 1000001"
QString caretPlaceText(const CaretPlace &place);

// Shows caretPlaceText for an editor and follows its caret. It reads only
// the caret's own line, so a text of a million lines costs typing and
// scrolling nothing more.
class CaretPositionLabel : public QLabel
{
    Q_OBJECT

public:
    CaretPositionLabel(TextEditor *editor, QWidget *parent);

    void refresh();

private:
    TextEditor *m_editor;
};
