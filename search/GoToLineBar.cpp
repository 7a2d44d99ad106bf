#include "search/GoToLineBar.h"

#include "editor/TextEditor.h"
#include "search/GoToLine.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

GoToLineBar::GoToLineBar(TextEditor *editor, QWidget *parent) : EditorBar(editor, parent)
{
    setObjectName(QStringLiteral("GoToLineBar"));
    m_lineText = new QLineEdit(this);
    m_lineText->setObjectName(QStringLiteral("GoToLineText"));
    m_lineText->setPlaceholderText(QStringLiteral("line or line:column"));
    auto *goButton = new QToolButton(this);
    goButton->setObjectName(QStringLiteral("GoToLineButton"));
    goButton->setText(QStringLiteral("Go"));
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("GoToLineMessage"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("Go to line:"), this));
    layout->addWidget(m_lineText, 1);
    layout->addWidget(goButton);
    layout->addWidget(m_message);
    layout->addWidget(createCloseButton());
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    connect(m_lineText, &QLineEdit::returnPressed, this, &GoToLineBar::go);
    connect(goButton, &QToolButton::clicked, this, &GoToLineBar::go);
    connect(m_lineText, &QLineEdit::textEdited, m_message, &QLabel::clear);
}

void GoToLineBar::open()
{
    m_message->clear();
    m_lineText->setText(QString::number(editor()->caretLine() + 1));
    show();
    m_lineText->setFocus();
    m_lineText->selectAll();
}

bool GoToLineBar::go()
{
    const std::optional<GoToLine::Target> target = GoToLine::parse(m_lineText->text());
    if (!target) {
        m_message->setText(QStringLiteral("not a line number"));
        return false;
    }
    editor()->goToLine(target->line, target->column);
    dismiss();
    return true;
}
