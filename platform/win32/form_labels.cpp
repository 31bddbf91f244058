// Labels, drawn by the form: their text colour, alignment and size as the definition gives them.
// A Japanese stand-in face (Noto CJK, Meiryo) has a far taller line than the face the layout was
// made for, so its text is lifted by the extra leading and auto-sized labels are one em high:
// the glyphs sit where the designed face would put them, unclipped.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include "platform/win32/fonts.h"
#include "platform/win32/form_window.h"
#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

COLORREF colourRef(ui::Colour colour) {
    if (colour & 0x80000000u) return GetSysColor(static_cast<int>(colour & 0xFFu));
    return colour & 0x00FFFFFFu;
}

ui::Font fontOf(const ui::Control& control) {
    return control.props().font.value_or(defaultControlFont());
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
    FillRect(dc, &box, p.backColour ? brush(*p.backColour) : GetSysColorBrush(COLOR_BTNFACE));
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
    SelectObject(dc, old);
}

}  // namespace qm::win32
