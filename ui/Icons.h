#pragma once

#include <QIcon>

// The program's icons: the desktop theme's where it has them, else our own
// drawings, so that nothing depends on image files being installed.
namespace Icons {

enum Name { Program, Open, Save, Print, Cut, Copy, Paste, Run, Stop, Submit };

QIcon icon(Name name);

} // namespace Icons
