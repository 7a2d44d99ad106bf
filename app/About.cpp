#include "app/About.h"

#include "app/Version.h"
#include "ui/Icons.h"

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
    icon->setPixmap(Icons::icon(Icons::Program).pixmap(32, 32));
    icon->setGeometry(8, 8, 32, 32);

    auto *name = new QLabel(QStringLiteral("Ostrel"), this);
    name->setObjectName(QStringLiteral("ProductName"));
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPixelSize(13);
    name->setFont(bold);
    name->setGeometry(52, 4, 190, 16);

    // Version and licence under the name, as desktop programs show them.
    auto *version = new QLabel(QStringLiteral("Version " OSTREL_VERSION), this);
    version->setObjectName(QStringLiteral("Version"));
    version->setGeometry(52, 20, 190, 15);
    auto *licence = new QLabel(QStringLiteral("Licence: GNU GPL 3 or later"), this);
    licence->setObjectName(QStringLiteral("Copyright"));
    licence->setGeometry(52, 35, 190, 15);

    auto *description =
        new QLabel(QStringLiteral("The desktop front end for the Quelm calculation engine."), this);
    description->setObjectName(QStringLiteral("Comments"));
    description->setWordWrap(true);
    description->setGeometry(8, 54, 239, 44);

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
