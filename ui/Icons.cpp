#include "ui/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <functional>

namespace {

QIcon drawn(int size, const std::function<void(QPainter &)> &draw)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    draw(painter);
    return QIcon(pixmap);
}

QIcon toolIcon(const std::function<void(QPainter &)> &draw)
{
    return drawn(32, draw);
}

const QColor Ink(60, 60, 60);

QIcon paintedProgram()
{
    return drawn(64, [](QPainter &p) {
        // A blue tile with a bright falcon-like chevron and a results line.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(32, 84, 160));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        p.setPen(QPen(QColor(255, 200, 60), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(3, 6), QPointF(8, 10), QPointF(13, 6)}));
        p.setPen(QPen(Qt::white, 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 13), QPointF(12, 13));
        p.drawLine(QPointF(6, 3.5), QPointF(10, 3.5));
    });
}

QIcon paintedOpen()
{
    return toolIcon([](QPainter &p) {
        p.setPen(QPen(Ink, 0.8));
        p.setBrush(QColor(240, 200, 90));
        p.drawPolygon(QPolygonF({QPointF(1.5, 4), QPointF(6, 4), QPointF(7.5, 5.5), QPointF(14.5, 5.5),
                                 QPointF(14.5, 13.5), QPointF(1.5, 13.5)}));
    });
}

QIcon paintedSave()
{
    return toolIcon([](QPainter &p) {
        p.setPen(QPen(Ink, 0.8));
        p.setBrush(QColor(70, 110, 190));
        p.drawRect(QRectF(2, 2, 12, 12));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 2, 7, 4.5));
        p.drawRect(QRectF(4, 9, 8, 5));
    });
}

QIcon paintedPrint()
{
    return toolIcon([](QPainter &p) {
        p.setPen(QPen(Ink, 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(150, 150, 150));
        p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1, 1);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10, 7, 4.5));
    });
}

QIcon paintedCut()
{
    return toolIcon([](QPainter &p) {
        // Blades and handles filled and outlined like the other icons: a
        // dark line alone vanishes on a dark tool bar.
        p.setPen(QPen(Ink, 0.7));
        p.setBrush(QColor(215, 220, 228));
        p.drawPolygon(
            QPolygonF({QPointF(3.2, 1.5), QPointF(4.8, 1.5), QPointF(11.2, 9.6), QPointF(9.8, 10.6)}));
        p.drawPolygon(
            QPolygonF({QPointF(12.8, 1.5), QPointF(11.2, 1.5), QPointF(4.8, 9.6), QPointF(6.2, 10.6)}));
        p.setPen(QPen(QColor(120, 20, 20), 0.7));
        p.setBrush(QColor(220, 60, 60));
        p.drawEllipse(QPointF(4.5, 12.2), 2.3, 2.3);
        p.drawEllipse(QPointF(11.5, 12.2), 2.3, 2.3);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(4.5, 12.2), 1, 1);
        p.drawEllipse(QPointF(11.5, 12.2), 1, 1);
    });
}

QIcon paintedCopy()
{
    return toolIcon([](QPainter &p) {
        p.setPen(QPen(Ink, 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2, 2, 8, 9));
        p.drawRect(QRectF(6, 5, 8, 9));
    });
}

QIcon paintedPaste()
{
    return toolIcon([](QPainter &p) {
        p.setPen(QPen(Ink, 0.8));
        p.setBrush(QColor(190, 140, 80));
        p.drawRoundedRect(QRectF(2, 3, 10, 11), 1, 1);
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4.5, 1.5, 5, 3));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 7, 7, 8));
    });
}

QIcon paintedRun()
{
    return toolIcon([](QPainter &p) {
        p.setPen(QPen(QColor(20, 110, 40), 0.8));
        p.setBrush(QColor(40, 170, 70));
        p.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(13.5, 8), QPointF(4, 14)}));
    });
}

QIcon paintedStop()
{
    return toolIcon([](QPainter &p) {
        p.setPen(QPen(QColor(150, 30, 30), 0.8));
        p.setBrush(QColor(210, 50, 50));
        p.drawRoundedRect(QRectF(3, 3, 10, 10), 1.5, 1.5);
    });
}

QIcon paintedSubmit()
{
    return toolIcon([](QPainter &p) {
        // A job going up to the cluster.
        p.setPen(QPen(QColor(30, 80, 150), 0.8));
        p.setBrush(QColor(70, 130, 210));
        p.drawPolygon(QPolygonF({QPointF(8, 1.5), QPointF(14, 8), QPointF(10.5, 8), QPointF(10.5, 12),
                                 QPointF(5.5, 12), QPointF(5.5, 8), QPointF(2, 8)}));
        p.setPen(QPen(Ink, 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 14.5), QPointF(13, 14.5));
    });
}

struct ThemedIcon
{
    const char *themeName;
    QIcon (*painted)();
};

// In the order of Icons::Name.
constexpr std::array<ThemedIcon, Icons::Submit + 1> ThemedIcons = {{
    {"ostrel", paintedProgram},
    {"document-open", paintedOpen},
    {"document-save", paintedSave},
    {"document-print", paintedPrint},
    {"edit-cut", paintedCut},
    {"edit-copy", paintedCopy},
    {"edit-paste", paintedPaste},
    {"media-playback-start", paintedRun},
    {"process-stop", paintedStop},
    {"document-send", paintedSubmit},
}};

} // namespace

// The desktop theme's icon where it has one, so that the tool bars follow a
// dark theme; our own drawing where it has none.
QIcon Icons::icon(Name name)
{
    const ThemedIcon &entry = ThemedIcons.at(name);
    const QString themeName = QLatin1String(entry.themeName);
    return QIcon::hasThemeIcon(themeName) ? QIcon::fromTheme(themeName) : entry.painted();
}
