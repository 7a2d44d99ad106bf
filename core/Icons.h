#pragma once

#include <QIcon>

// The program's icons: the desktop theme's where it has them, else our own
// drawings, so that nothing depends on image files being installed.
namespace Icons {
QIcon program();
QIcon open();
QIcon save();
QIcon print();
QIcon cut();
QIcon copy();
QIcon paste();
QIcon run();
QIcon stop();
} // namespace Icons
