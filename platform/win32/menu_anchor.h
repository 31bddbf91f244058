// Where the next popup menu opens when a key rather than the mouse opened it: the tray icon's
// anchor, a list's caret row. Screen pixels; without an anchor a menu opens at the mouse.
#pragma once

#include <windows.h>

#include <optional>

namespace qm::win32 {

// Set just before the click that opens the menu, and cleared just after it.
void anchorNextMenu(std::optional<POINT> at);

}  // namespace qm::win32
