// Twips and pixels; the per-monitor DPI calls of Windows 10 looked up at run time.
#include "platform/win32/dpi.h"

#include <cmath>

#include "platform/win32/module_function.h"

namespace qm::win32 {
namespace {

template <class F>
F user32Function(const char* name) {
    static HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return moduleFunction<F>(user32, name);
}

int screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : kDefaultDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDefaultDpi;
}

}  // namespace

int twipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / ui::kTwipsPerInch));
}

int pixelsToTwips(int pixels, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(pixels) * ui::kTwipsPerInch / dpi));
}

RECT twipsToPixels(const ui::Rect& rect, int dpi) {
    return RECT{twipsToPixels(rect.left, dpi), twipsToPixels(rect.top, dpi),
                twipsToPixels(rect.left + rect.width, dpi), twipsToPixels(rect.top + rect.height, dpi)};
}

int dpiOfWindow(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    }
    return screenDpi();
}

int systemDpi() {
    using GetDpiForSystemFn = UINT(WINAPI*)();
    static const auto getDpiForSystem = user32Function<GetDpiForSystemFn>("GetDpiForSystem");
    if (getDpiForSystem) {
        if (const UINT dpi = getDpiForSystem()) return static_cast<int>(dpi);
    }
    return screenDpi();
}

int systemMetric(int index, int dpi) {
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi = user32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, systemDpi());
}

SIZE outerSizeForClient(SIZE client, DWORD style, DWORD exStyle, int dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, client.cx, client.cy};
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace qm::win32
