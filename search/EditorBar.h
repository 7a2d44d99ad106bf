#pragma once

#include <QFrame>

class QToolButton;
class TextEditor;

// A strip along the bottom of an editor window that asks for something and
// goes again: Esc or its close button hide it and give the text the focus.
class EditorBar : public QFrame
{
    Q_OBJECT

public:
    EditorBar(TextEditor *editor, QWidget *parent);

    void dismiss();

protected:
    TextEditor *editor() const { return m_editor; }
    QToolButton *createCloseButton();
    void keyPressEvent(QKeyEvent *event) override;

private:
    TextEditor *m_editor;
};
