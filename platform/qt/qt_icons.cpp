// The traffic-light icons: the images scripts/make-icons.py draws for every platform, built into
// the program as Qt resources. A build without that script draws a stand-in of the same design.
#include "platform/qt/qt_icons.h"

#include <QFile>
#include <QPainter>

namespace qm::qt {

namespace {

// The sizes make-icons.py draws; 16 and 32 are the program's own, the others serve high DPI.
constexpr int kSizes[] = {16, 20, 24, 32, 40, 48, 64};

QString resourceName(ui::Icon icon, int size) {
    return QStringLiteral(":/icons/%1-%2.png").arg(icon == ui::Icon::Paused ? "paused" : "running").arg(size);
}

// A vertical traffic light in a grey housing; `icon` says which lamp is lit.
QPixmap drawTrafficLight(ui::Icon icon, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, size > 16);
    const double unit = size / 32.0;
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), unit));
    p.setBrush(QColor(0x80, 0x80, 0x80));
    p.drawRoundedRect(QRectF(9 * unit, 1 * unit, 14 * unit, 30 * unit), 2 * unit, 2 * unit);
    const QColor lit[] = {Qt::red, Qt::yellow, Qt::green};
    const QColor dark[] = {QColor(0x80, 0, 0), QColor(0x80, 0x80, 0), QColor(0, 0x80, 0)};
    const int on = icon == ui::Icon::Paused ? 0 : 2;
    p.setPen(QPen(Qt::black, unit * 0.5));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(i == on ? lit[i] : dark[i]);
        p.drawEllipse(QRectF(11 * unit, (3 + i * 9.5) * unit, 10 * unit, 8.5 * unit));
    }
    return pixmap;
}

}  // namespace

QPixmap iconPixmap(ui::Icon icon, int size) {
    // The drawn size itself, else the smallest larger one scaled down, else the largest.
    int best = 0;
    for (int s : kSizes) {
        if (s >= size && QFile::exists(resourceName(icon, s))) {
            best = s;
            break;
        }
    }
    if (best == 0 && QFile::exists(resourceName(icon, kSizes[std::size(kSizes) - 1])))
        best = kSizes[std::size(kSizes) - 1];
    if (best == 0) return drawTrafficLight(icon, size);
    QPixmap pixmap(resourceName(icon, best));
    return best == size ? pixmap : pixmap.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QIcon programIcon(ui::Icon icon) {
    QIcon out;
    for (int size : kSizes) out.addPixmap(iconPixmap(icon, size));
    return out;
}

}  // namespace qm::qt
