// The Line control: a small child window that draws a line from one corner to the other.
#pragma once

#include <windows.h>

#include "platform/ui/form.h"

namespace qm::win32 {

inline constexpr wchar_t kLineClass[] = L"QuietusLine";

void registerLineClass();
// A line window for `line`, covering the box between its two end points.
HWND createLineWindow(HWND parent, ui::Control& line, int id);
// The window's box for a line from (x1, y1) to (x2, y2) in pixels: at least 2 pixels across.
RECT lineBox(POINT from, POINT to);

}  // namespace qm::win32
