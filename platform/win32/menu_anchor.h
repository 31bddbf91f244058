// Where the next popup menu opens when a key rather than the mouse opened it: the tray icon's
// anchor, a list's caret row. Screen pixels; without an anchor a menu opens at the mouse.
// The keyboard's user also learns how that menu closed, to put the focus back where it was.
#pragma once

#include <windows.h>

#include <optional>

namespace qm::win32 {

// Set just before the click that opens the menu, and cleared just after it.
void anchorNextMenu(std::optional<POINT> at);
// How a menu opened at the anchor closed: the menu says so as it closes, and whoever set the anchor
// asks once its click is over. Dismissed: closed with nothing chosen (Esc, a click elsewhere).
void anchoredMenuClosed(bool chosen);
bool anchoredMenuDismissed();

}  // namespace qm::win32
