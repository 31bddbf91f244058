// The traffic-light icons from the program's resources, at the pixel size a place needs.
#pragma once

#include <windows.h>

#include "platform/ui/definition.h"

namespace qm::win32 {

// The icon drawn for `size` pixels (the nearest image of the resource, scaled if need be);
// nullptr for Icon::None. Icons are loaded once and kept for the life of the process.
HICON programIcon(ui::Icon icon, int size);

}  // namespace qm::win32
