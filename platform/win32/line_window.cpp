// Lines: a level or upright line without a colour of its own is an etched rule, as Windows draws
// separators; a coloured or slanting one is a one-pixel pen line.
#include "platform/win32/line_window.h"

#include <algorithm>
#include <cstdlib>

namespace qm::win32 {
namespace {

LRESULT CALLBACK lineProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcW(hwnd, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT box;
    GetClientRect(hwnd, &box);
    const auto* line = reinterpret_cast<const ui::Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (line) {
        const ui::Rect& r = line->props().rect;
        const bool level = r.height == 0, upright = r.width == 0;
        if ((level || upright) && !line->props().foreColour) {
            DrawEdge(dc, &box, EDGE_ETCHED, level ? BF_TOP : BF_LEFT);
        } else {
            HPEN pen = CreatePen(PS_SOLID, 1, line->foreColour());
            HGDIOBJ old = SelectObject(dc, pen);
            // Falling lines run from the top left, rising ones from the bottom left.
            const bool falling = (r.width >= 0) == (r.height >= 0);
            MoveToEx(dc, 0, falling ? 0 : box.bottom - 1, nullptr);
            LineTo(dc, level ? box.right : box.right - 1,
                   upright ? box.bottom : (falling ? box.bottom - 1 : 0));
            SelectObject(dc, old);
            DeleteObject(pen);
        }
    }
    EndPaint(hwnd, &paint);
    return 0;
}

}  // namespace

void registerLineClass() {
    WNDCLASSEXW line{};
    line.cbSize = sizeof(line);
    line.lpfnWndProc = lineProc;
    line.hInstance = GetModuleHandleW(nullptr);
    line.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    line.lpszClassName = kLineClass;
    RegisterClassExW(&line);
}

RECT lineBox(POINT from, POINT to) {
    RECT box{std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x), std::max(from.y, to.y)};
    box.right = std::max(box.right, box.left + 2);
    box.bottom = std::max(box.bottom, box.top + 2);
    return box;
}

HWND createLineWindow(HWND parent, ui::Control& line, int id) {
    HWND hwnd = CreateWindowExW(0, kLineClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                nullptr);
    if (hwnd) SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&line));
    return hwnd;
}

}  // namespace qm::win32
