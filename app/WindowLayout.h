#pragma once

#include <QList>
#include <QRect>
#include <QString>

// Where the frame's Window menu puts its child windows, worked out apart from
// any widget: each function gives one rectangle per window, in the windows'
// order, inside area.
namespace WindowLayout {

// Side by side (sideBySide) or one above the other, together filling the area.
QList<QRect> tiled(const QRect &area, int count, bool sideBySide);

// Each window one step right of and below the one before, all of one size: as
// large as the area allows with every title bar in view, but at least two
// thirds of the area; a stack that would leave the area starts again at its
// top left corner.
QList<QRect> cascaded(const QRect &area, int count, int step);

// A window's entry in the Window menu's list, position counting from 1: the
// caption as it is, "*" after it while the window has unsaved changes. Only
// the first nine take their digit as the key, so that no two share one.
QString listEntry(int position, const QString &caption, bool modified);

} // namespace WindowLayout
