#include "explorer/DriveComboBox.h"

#include "explorer/ExplorerRules.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

DriveComboBox::DriveComboBox(QWidget *parent) : QComboBox(parent)
{
    fill();
    connect(this, &QComboBox::activated, this,
            [this](int index) { emit driveChosen(itemData(index).toString()); });
}

QString DriveComboBox::driveOf(const QString &folder)
{
    const QStorageInfo volume(folder);
    if (volume.isValid() && !volume.rootPath().isEmpty())
        return volume.rootPath();
        // A folder that is gone has no volume; its path still names its drive
        // on Windows, and "/" is the one sure root elsewhere.
#ifdef Q_OS_WIN
    return QFileInfo(folder).absoluteFilePath().left(3);
#else
    return QDir::rootPath();
#endif
}

QStringList DriveComboBox::mountedDrives()
{
    QStringList roots;
#ifdef Q_OS_WIN
    for (const QFileInfo &drive : QDir::drives())
        roots.append(drive.absoluteFilePath());
#else
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            roots.append(volume.rootPath());
    }
    roots.removeDuplicates();
    Explorer::sortByName(roots);
    roots.removeAll(QDir::rootPath());
    roots.prepend(QDir::rootPath());
#endif
    return roots;
}

QString DriveComboBox::drive() const
{
    return currentData().toString();
}

void DriveComboBox::setDrive(const QString &root)
{
    if (root.isEmpty())
        return;
    int index = findData(root);
    if (index < 0) {
        addItem(Explorer::displayName(root), root);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

void DriveComboBox::showPopup()
{
    const QString current = drive();
    fill();
    setDrive(current);
    QComboBox::showPopup();
}

void DriveComboBox::fill()
{
    const QSignalBlocker quiet(this);
    clear();
    for (const QString &root : mountedDrives())
        addItem(Explorer::displayName(root), root);
}
