#include "diskchanges/DiskChangeBar.h"

#include <QToolButton>

DiskChangeBar::DiskChangeBar(QWidget *parent)
    : InfoBar(QStringLiteral("DiskChangeBar"), QStringLiteral("DiskChangeMessage"), parent)
{
    m_reload = addButton(QStringLiteral("ReloadButton"), QStringLiteral("&Reload"));
    QToolButton *keep = addButton(QStringLiteral("KeepButton"), QStringLiteral("&Keep"));
    connect(m_reload, &QToolButton::clicked, this, &DiskChangeBar::reloadClicked);
    connect(keep, &QToolButton::clicked, this, &DiskChangeBar::keepClicked);
}

void DiskChangeBar::showChanged()
{
    setMessage(QStringLiteral("This file was changed on disk."));
    m_reload->show();
    show();
}

void DiskChangeBar::showDeleted()
{
    setMessage(QStringLiteral("This file was deleted on disk."));
    // Nothing to load: the window's text is all there is of the file now.
    m_reload->hide();
    show();
}

void DiskChangeBar::showNotAFile()
{
    setMessage(QStringLiteral("This file was replaced on disk by something that is not a file."));
    // Neither loaded nor written over: only the window's text is left.
    m_reload->hide();
    show();
}
