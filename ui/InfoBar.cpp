#include "ui/InfoBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {
// The pale yellow of an information bar, to stand apart from the text.
const QColor BarColour(255, 243, 205);
} // namespace

InfoBar::InfoBar(const QString &name, const QString &messageName, QWidget *parent) : QFrame(parent)
{
    setObjectName(name);
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, BarColour);
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);

    m_message = new QLabel(this);
    m_message->setObjectName(messageName);
    m_layout = new QHBoxLayout(this);
    m_layout->setContentsMargins(6, 2, 6, 2);
    m_layout->addWidget(m_message, 1);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    hide();
}

void InfoBar::setMessage(const QString &text)
{
    m_message->setText(text);
}

QToolButton *InfoBar::addButton(const QString &name, const QString &text)
{
    auto *button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(text);
    m_layout->addWidget(button);
    return button;
}
