#include "search/EditorBar.h"

#include "editor/TextEditor.h"

#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>

EditorBar::EditorBar(TextEditor *editor, QWidget *parent) : QFrame(parent), m_editor(editor)
{
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    hide();
}

QToolButton *EditorBar::createCloseButton()
{
    auto *button = new QToolButton(this);
    button->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    button->setToolTip(QStringLiteral("Close"));
    button->setAutoRaise(true);
    connect(button, &QToolButton::clicked, this, &EditorBar::dismiss);
    return button;
}

void EditorBar::dismiss()
{
    hide();
    m_editor->setFocus();
}

void EditorBar::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        dismiss();
        return;
    }
    QFrame::keyPressEvent(event);
}
