#include "documents/DiskChangeBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {
// The pale yellow of an information bar, to stand apart from the text.
const QColor BarColour(255, 243, 205);
} // namespace

DiskChangeBar::DiskChangeBar(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("DiskChangeBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, BarColour);
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("DiskChangeMessage"));
    m_reload = new QToolButton(this);
    m_reload->setObjectName(QStringLiteral("ReloadButton"));
    m_reload->setText(QStringLiteral("&Reload"));
    auto *keep = new QToolButton(this);
    keep->setObjectName(QStringLiteral("KeepButton"));
    keep->setText(QStringLiteral("&Keep"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(m_message, 1);
    layout->addWidget(m_reload);
    layout->addWidget(keep);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    hide();

    connect(m_reload, &QToolButton::clicked, this, &DiskChangeBar::reloadClicked);
    connect(keep, &QToolButton::clicked, this, &DiskChangeBar::keepClicked);
}

void DiskChangeBar::showChanged()
{
    m_message->setText(QStringLiteral("This file was changed on disk."));
    m_reload->show();
    show();
}

void DiskChangeBar::showDeleted()
{
    m_message->setText(QStringLiteral("This file was deleted on disk."));
    // Nothing to load: the window's text is all there is of the file now.
    m_reload->hide();
    show();
}
