// The traffic-light icons: the images scripts/make-icons.py draws for every platform, built into
// the program as Qt resources.
#include "platform/qt/qt_icons.h"

#include <QPixmap>

namespace qm::qt {

namespace {

// The sizes make-icons.py draws; 16 and 32 are the program's own, the others serve high DPI.
constexpr int kSizes[] = {16, 20, 24, 32, 40, 48, 64};

QString resourceName(ui::Icon icon, int size) {
    return QStringLiteral(":/icons/%1-%2.png").arg(icon == ui::Icon::Paused ? "paused" : "running").arg(size);
}

}  // namespace

QPixmap iconPixmap(ui::Icon icon, int size) {
    // The drawn size itself, else the smallest larger one scaled down, else the largest.
    int best = kSizes[std::size(kSizes) - 1];
    for (int s : kSizes) {
        if (s >= size) {
            best = s;
            break;
        }
    }
    QPixmap pixmap(resourceName(icon, best));
    return best == size ? pixmap : pixmap.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QIcon programIcon(ui::Icon icon) {
    QIcon out;
    for (int size : kSizes) out.addPixmap(iconPixmap(icon, size));
    return out;
}

}  // namespace qm::qt
