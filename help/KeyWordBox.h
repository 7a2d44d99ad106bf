#pragma once

#include <QComboBox>

// The help window's keyword box: an editable combo box in which Enter, with
// or without modifiers, asks for a search, and leaving the box asks for
// nothing. A plain QComboBox takes the key before any filter on its line edit
// sees it, and when the box loses the focus it activates a history entry that
// equals the typed text, which would search a text nobody asked for.
class KeyWordBox : public QComboBox
{
    Q_OBJECT

public:
    explicit KeyWordBox(QWidget *parent = nullptr);

signals:
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};
