#pragma once

#include "engine/RunSettings.h"

class QSettings;

// The runs' settings in the user's Qt settings, under "Runs". ostrel.ini
// keeps its twelve sections as they are; these live beside it.
namespace RunPreferences {

// What settings holds; a missing or unusable value gives the default, a
// number of engines out of range the nearest allowed.
RunSettings read(const QSettings &settings);
void write(QSettings &settings, const RunSettings &runs);

} // namespace RunPreferences
