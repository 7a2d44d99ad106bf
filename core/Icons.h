#pragma once

#include <QIcon>

// The program's own small icons, drawn rather than shipped as image files.
namespace Icons {
QIcon program();
QIcon open();
QIcon save();
QIcon print();
QIcon cut();
QIcon copy();
QIcon paste();
QIcon run();
} // namespace Icons
