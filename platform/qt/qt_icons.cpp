// The traffic-light icons, drawn at each size a desktop asks for.
#include "platform/qt/qt_icons.h"

#include <QPainter>

namespace qm::qt {

namespace {

// A vertical traffic light in a grey housing; `icon` says which lamp is lit.
QPixmap drawTrafficLight(ui::Icon icon, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, size > 16);
    const double unit = size / 32.0;
    const QRectF housing(9 * unit, 1 * unit, 14 * unit, 30 * unit);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), unit));
    p.setBrush(QColor(0x80, 0x80, 0x80));
    p.drawRoundedRect(housing, 2 * unit, 2 * unit);
    struct Lamp {
        QColor lit, dark;
        bool on;
    };
    const Lamp lamps[] = {
        {QColor(0xFF, 0x00, 0x00), QColor(0x80, 0x00, 0x00), icon == ui::Icon::Paused},
        {QColor(0xFF, 0xFF, 0x00), QColor(0x80, 0x80, 0x00), false},
        {QColor(0x00, 0xFF, 0x00), QColor(0x00, 0x80, 0x00), icon != ui::Icon::Paused},
    };
    p.setPen(QPen(Qt::black, unit * 0.5));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(lamps[i].on ? lamps[i].lit : lamps[i].dark);
        p.drawEllipse(QRectF(11 * unit, (3 + i * 9.5) * unit, 10 * unit, 8.5 * unit));
    }
    return pixmap;
}

}  // namespace

QPixmap iconPixmap(ui::Icon icon, int size) { return drawTrafficLight(icon, size); }

QIcon programIcon(ui::Icon icon) {
    QIcon out;
    for (int size : {16, 22, 24, 32, 48, 64}) out.addPixmap(iconPixmap(icon, size));
    return out;
}

}  // namespace qm::qt
