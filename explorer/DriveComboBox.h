#pragma once

#include <QComboBox>
#include <QStringList>

// The list of drives: on Windows the drive letters, elsewhere the root
// folders of the mounted volumes with "/" first.
class DriveComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit DriveComboBox(QWidget *parent = nullptr);

    // The root folder of the volume that holds folder.
    static QString driveOf(const QString &folder);
    static QStringList mountedDrives();

    QString drive() const;
    // Shows root as the chosen drive, adding it when the volume list lacks it.
    void setDrive(const QString &root);

    // Volumes come and go; the list is read again each time it is opened.
    void showPopup() override;

signals:
    // The user chose a drive (the program's own setDrive does not signal).
    void driveChosen(const QString &root);

private:
    void fill();
};
