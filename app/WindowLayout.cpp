#include "app/WindowLayout.h"

#include <algorithm>

namespace WindowLayout {

QList<QRect> tiled(const QRect &area, int count, bool sideBySide)
{
    QList<QRect> places;
    for (int i = 0; i < count; ++i) {
        if (sideBySide) {
            const int left = area.width() * i / count;
            const int right = area.width() * (i + 1) / count;
            places.append(QRect(area.left() + left, area.top(), right - left, area.height()));
        } else {
            const int top = area.height() * i / count;
            const int bottom = area.height() * (i + 1) / count;
            places.append(QRect(area.left(), area.top() + top, area.width(), bottom - top));
        }
    }
    return places;
}

QList<QRect> cascaded(const QRect &area, int count, int step)
{
    QList<QRect> places;
    if (count <= 0)
        return places;
    step = std::max(step, 1);
    const int spread = step * (count - 1);
    const int width = std::min(area.width(), std::max(area.width() * 2 / 3, area.width() - spread));
    const int height = std::min(area.height(), std::max(area.height() * 2 / 3, area.height() - spread));
    // How many windows fit one step apart before a stack must start again.
    const int positions = 1 + std::min(area.width() - width, area.height() - height) / step;
    for (int i = 0; i < count; ++i) {
        const int offset = (i % positions) * step;
        places.append(QRect(area.left() + offset, area.top() + offset, width, height));
    }
    return places;
}

QString listEntry(int position, const QString &caption, bool modified)
{
    // A "&" in a path is a letter of the path, not a key.
    QString text = caption;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    if (modified)
        text += QLatin1Char('*');
    const QString number = position <= 9 ? QStringLiteral("&%1").arg(position) : QString::number(position);
    return number + QLatin1Char(' ') + text;
}

} // namespace WindowLayout
