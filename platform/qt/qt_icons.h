// The program's two traffic-light icons (running: green lamp lit; paused: red lamp lit) as Qt icons,
// for window icons, the About window's image and the tray.
#pragma once

#include <QIcon>
#include <QPixmap>

#include "platform/ui/definition.h"

namespace qm::qt {

QIcon programIcon(ui::Icon icon);
QPixmap iconPixmap(ui::Icon icon, int size);

}  // namespace qm::qt
