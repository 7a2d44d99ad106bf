#pragma once

#include <QSettings>
#include <QString>

// The user's own settings of the program (what ostrel.ini does not hold),
// whatever name the running executable gives the application: one store for
// every part of the program that keeps something there.
QSettings userSettings();

// The file that store lives in: Ostrel/Ostrel.conf in the user's
// configuration folder.
QString userSettingsFile();

// Whether that file can be used: it is a regular file, or there is nothing
// there yet. Anything else is left alone (a FIFO would hold the program at the
// first read, a device or a link to one would be written over): the program
// then starts with the defaults and keeps what the user changes for this
// session only.
bool userSettingsUsable();

// The status line's word on a settings file that is left alone.
QString userSettingsLeftAloneText();

// The user's data folder of the program (Ostrel/ in the user's data folder,
// ~/.local/share/Ostrel), where what it keeps that is no setting lives; beside
// the settings when tests keep those in a folder of their own.
QString userDataFolder();

// Tests and benchmarks keep the user's settings in a folder of their own
// instead of the user's configuration folder; each call starts a session
// afresh.
void setUserSettingsFolder(const QString &folder);
