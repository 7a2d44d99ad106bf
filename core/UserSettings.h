#pragma once

#include <QSettings>

// The user's own settings of the program (what ostrel.ini does not hold),
// whatever name the running executable gives the application: one store for
// every part of the program that keeps something there.
QSettings userSettings();
