#include "app/About.h"

#include "core/Icons.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About Ostrel"));
    setFixedSize(255, 139);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(Icons::program().pixmap(32, 32));
    icon->setGeometry(8, 8, 32, 32);

    auto *name = new QLabel(QStringLiteral("Ostrel"), this);
    name->setObjectName(QStringLiteral("ProductName"));
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPixelSize(13);
    name->setFont(bold);
    name->setGeometry(52, 8, 190, 32);

    auto *description =
        new QLabel(QStringLiteral("The desktop front end for the Quelm calculation engine."), this);
    description->setObjectName(QStringLiteral("Comments"));
    description->setWordWrap(true);
    description->setGeometry(8, 48, 239, 44);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    ok->setGeometry(95, 102, 65, 27);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    const QScreen *shownOn = parentWidget() ? parentWidget()->screen() : screen();
    QRect placed = frameGeometry();
    placed.moveCenter(shownOn->availableGeometry().center());
    move(placed.topLeft());
}
