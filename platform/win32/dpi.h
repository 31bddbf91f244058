// Twips to pixels at a window's DPI, and the DPI functions of newer Windows, found at run time so
// the program still starts on systems (and import libraries) that lack them.
#pragma once

#include <windows.h>

#include "platform/ui/definition.h"

namespace qm::win32 {

inline constexpr int kDefaultDpi = 96;

// Nearest pixel; halves round away from zero, so positions mirror around the origin.
int twipsToPixels(int twips, int dpi);
int pixelsToTwips(int pixels, int dpi);

// A rectangle in pixels whose edges are each rounded from twips, so controls that touch in
// twips still touch in pixels.
RECT twipsToPixels(const ui::Rect& rect, int dpi);

// The DPI a window is drawn at: GetDpiForWindow where Windows has it, else the screen's.
int dpiOfWindow(HWND window);
// The DPI of the primary screen, which screen coordinates use.
int systemDpi();

// GetSystemMetricsForDpi where it exists, else the system's own metric.
int systemMetric(int index, int dpi);
// The outer size of a window with this client size, frame and caption drawn at `dpi`.
SIZE outerSizeForClient(SIZE client, DWORD style, DWORD exStyle, int dpi);

}  // namespace qm::win32
