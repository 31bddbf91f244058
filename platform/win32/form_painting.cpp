// What the form paints itself: its background, the pages of its tab strips behind the controls on
// them, and its labels, with their colour, alignment and size as the definition gives them.
// A Japanese stand-in face (Noto CJK, Meiryo) has a far taller line than the face the layout was
// made for, so its text is lifted by the extra leading and auto-sized labels are one em high:
// the glyphs sit where the designed face would put them, unclipped.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <commctrl.h>

#include "platform/win32/fonts.h"
#include "platform/win32/form_window.h"
#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

ui::Font fontOf(const ui::Control& control) {
    return control.props().font.value_or(defaultControlFont());
}

// A focused link shows the focus as a button does: a dotted frame just around its text.
void drawFocusAround(HDC dc, const std::wstring& caption, const RECT& text, UINT flags, const RECT& box) {
    RECT around = text;
    DrawTextW(dc, caption.c_str(), -1, &around, flags | DT_CALCRECT);
    // The measure starts at the left; the text itself sits where its alignment puts it.
    const int spare = (text.right - text.left) - (around.right - around.left);
    const int shift = flags & DT_CENTER ? spare / 2 : flags & DT_RIGHT ? spare : 0;
    OffsetRect(&around, shift, 0);
    InflateRect(&around, 1, 1);
    IntersectRect(&around, &around, &box);
    DrawFocusRect(dc, &around);
}

}  // namespace

int FormWindow::labelLift(const ui::Control& label, const TEXTMETRICW& metrics) const {
    if (!isStandIn(fontOf(label)) || metrics.tmHeight <= 0) return 0;
    // The share of the internal leading that lies above the baseline.
    return metrics.tmInternalLeading * metrics.tmAscent / metrics.tmHeight;
}

void FormWindow::autoSize(ui::Control& control) {
    HWND h = nativeOf(control);
    if (!h) return;
    // One line, as wide as the text and as high as the font (its em for a stand-in face).
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(h, WM_GETFONT, 0, 0)));
    const std::wstring text = widen(control.caption());
    RECT box{0, 0, 0, 0};
    DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    const int height = isStandIn(fontOf(control)) ? metrics.tmHeight - metrics.tmInternalLeading : box.bottom;
    SetWindowPos(h, nullptr, 0, 0, text.empty() ? 0 : box.right, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::drawLabel(ui::Control& label, const DRAWITEMSTRUCT& item) {
    const ui::ControlDef& p = label.props();
    HDC dc = item.hDC;
    RECT box = item.rcItem;
    FillRect(dc, &box, backgroundBrush(label));
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    const bool enabled = !(item.itemState & ODS_DISABLED) && IsWindowEnabled(item.hwndItem);
    SetTextColor(dc, !enabled       ? GetSysColor(COLOR_GRAYTEXT)
                     : p.foreColour ? colourRef(*p.foreColour)
                                    : GetSysColor(COLOR_BTNTEXT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT text = box;
    text.top -= labelLift(label, metrics);
    UINT flags = DT_NOPREFIX | DT_NOCLIP | (p.autoSize ? DT_SINGLELINE : DT_WORDBREAK);
    flags |= p.align == ui::Align::Centre ? DT_CENTER : p.align == ui::Align::Right ? DT_RIGHT : DT_LEFT;
    // The label's own text, which is what the model holds; drawn clipped to the label.
    const std::wstring caption = widen(label.caption());
    IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
    DrawTextW(dc, caption.c_str(), -1, &text, flags);
    if (p.link && GetFocus() == item.hwndItem &&
        !(SendMessageW(item.hwndItem, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS))
        drawFocusAround(dc, caption, text, flags, box);
    SelectObject(dc, old);
}

COLORREF FormWindow::pageColour(const ui::Control& tabStrip) {
    if (auto it = pages_.find(&tabStrip); it != pages_.end()) return it->second;
    // The tab control paints its own page: white under most visual styles, the face colour without.
    HWND tab = nativeOf(tabStrip);
    COLORREF colour = GetSysColor(COLOR_BTNFACE);
    RECT client{};
    if (tab && GetClientRect(tab, &client) && client.right > 0 && client.bottom > 0) {
        HDC screen = GetDC(tab);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
        HGDIOBJ old = SelectObject(dc, bitmap);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
        RECT page = client;
        SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
        if (page.right > page.left && page.bottom > page.top) {
            colour = GetPixel(dc, (page.left + page.right) / 2, (page.top + page.bottom) / 2);
        }
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(tab, screen);
    }
    pages_[&tabStrip] = colour;
    return colour;
}

COLORREF FormWindow::backgroundOf(const ui::Control& control) {
    if (control.props().backColour) return colourRef(*control.props().backColour);
    for (const ui::Control* c = container(control); c; c = container(*c)) {
        if (c->kind() == ui::Kind::TabStrip) return pageColour(*c);
    }
    return GetSysColor(COLOR_BTNFACE);
}

HBRUSH FormWindow::backgroundBrush(const ui::Control& control) {
    const COLORREF colour = backgroundOf(control);
    if (colour == GetSysColor(COLOR_BTNFACE) && !control.props().backColour)
        return GetSysColorBrush(COLOR_BTNFACE);
    return brush(colour);
}

void FormWindow::paintBackground(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    // A tab strip's page shows behind the controls on it, also where a themed control asks its
    // parent to draw its background.
    for (const auto& c : form_.controls()) {
        HWND tab = nativeOf(*c);
        if (c->kind() != ui::Kind::TabStrip || !tab) continue;
        RECT page{};
        GetClientRect(tab, &page);
        SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
        MapWindowPoints(tab, hwnd_, reinterpret_cast<POINT*>(&page), 2);
        FillRect(dc, &page, brush(pageColour(*c)));
    }
}

}  // namespace qm::win32
