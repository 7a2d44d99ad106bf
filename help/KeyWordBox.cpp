#include "help/KeyWordBox.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

KeyWordBox::KeyWordBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
}

void KeyWordBox::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !view()->isVisible()) {
        event->accept();
        emit enterPressed();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void KeyWordBox::focusOutEvent(QFocusEvent *event)
{
    // The line edit's editingFinished is what makes the combo box activate
    // an entry equal to the typed text; the text itself stays as typed.
    const QSignalBlocker blocker(lineEdit());
    QComboBox::focusOutEvent(event);
}
