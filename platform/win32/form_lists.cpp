// List and combo boxes: a list box holds only the count of its model's rows and draws the rows it
// shows from the model, so a long list costs what is visible; a combo box (a few dozen items)
// keeps strings of its own, changed range by range. The mouse buttons pressed on either go to
// the form.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/win32/dpi.h"
#include "platform/win32/form_window.h"
#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

// List and combo boxes report any mouse button pressed on them, in twips.
LRESULT CALLBACK mouseDownProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR data) {
    int button = 0;
    switch (message) {
        case WM_LBUTTONDOWN:
            button = ui::kLeftButton;
            break;
        case WM_RBUTTONDOWN:
            button = ui::kRightButton;
            break;
        case WM_MBUTTONDOWN:
            button = ui::kMiddleButton;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, mouseDownProc, 1);
            break;
        default:
            break;
    }
    if (button) {
        auto& control = *reinterpret_cast<ui::Control*>(data);
        const auto* fw = static_cast<const FormWindow*>(control.form().native);
        const int shift = ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0) |
                          (GetKeyState(VK_MENU) < 0 ? 4 : 0);
        const int dpi = fw ? fw->dpi() : kDefaultDpi;
        control.form().runtime().mouseDown(control, button, shift, pixelsToTwips(GET_X_LPARAM(lParam), dpi),
                                           pixelsToTwips(GET_Y_LPARAM(lParam), dpi));
        if (!IsWindow(hwnd)) return 0;  // the handler unloaded the form
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// The combo box's own strings follow the change; a refill is drawn once, at the end.
void changeComboItems(HWND combo, const ui::ListModel& model, const ui::ListChange& change) {
    auto insert = [&](std::size_t row) {
        SendMessageW(combo, CB_INSERTSTRING, row, reinterpret_cast<LPARAM>(widen(model.item(row)).c_str()));
    };
    switch (change.kind) {
        case ui::ListChange::Kind::Inserted:
            for (std::size_t row = change.first; row < change.first + change.count; ++row) insert(row);
            break;
        case ui::ListChange::Kind::Removed:
            for (std::size_t i = 0; i < change.count; ++i)
                SendMessageW(combo, CB_DELETESTRING, change.first, 0);
            break;
        case ui::ListChange::Kind::Reset:
            SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
            SendMessageW(combo, CB_RESETCONTENT, 0, 0);
            for (std::size_t row = 0; row < model.size(); ++row) insert(row);
            SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(combo, nullptr, TRUE);
            break;
    }
}

// Where a row's text begins, in pixels at 96 DPI: as in a list box that draws its own strings.
constexpr int kItemMargin = 1;

wchar_t upper(wchar_t c) {
    CharUpperBuffW(&c, 1);
    return c;
}

// The first UTF-16 unit of a row, for finding a row by the key typed.
wchar_t firstUnit(std::string_view row) {
    if (row.empty()) return 0;
    const auto lead = static_cast<unsigned char>(row[0]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return widen(row.substr(0, length))[0];
}

}  // namespace

void listenForMouseDowns(HWND hwnd, ui::Control& control) {
    SetWindowSubclass(hwnd, mouseDownProc, 1, reinterpret_cast<DWORD_PTR>(&control));
}

void FormWindow::listChanged(ui::Control& control, const ui::ListChange& change) {
    HWND h = nativeOf(control);
    if (!h) return;
    if (control.kind() == ui::Kind::ListBox) {
        // The count is all the list box knows; it asks for the rows it shows when it draws them.
        const auto top = SendMessageW(h, LB_GETTOPINDEX, 0, 0);
        SendMessageW(h, LB_SETCOUNT, control.model().size(), 0);
        if (change.kind != ui::ListChange::Kind::Reset && top > 0) SendMessageW(h, LB_SETTOPINDEX, top, 0);
        InvalidateRect(h, nullptr, TRUE);
        announce(EVENT_OBJECT_REORDER, h);  // readers read the rows anew
    } else if (control.kind() == ui::Kind::ComboBox) {
        changeComboItems(h, control.model(), change);
    } else {
        return;
    }
    applySelection(control);
}

void FormWindow::applySelection(ui::Control& control) {
    HWND h = nativeOf(control);
    if (!h) return;
    if (control.kind() == ui::Kind::ListBox) {
        SendMessageW(h, LB_SETCURSEL, static_cast<WPARAM>(control.listIndex()), 0);
    } else if (control.kind() == ui::Kind::ComboBox) {
        SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(control.listIndex()), 0);
        // Picking or emptying changes a combo box's edit field; the model's text stays what it is.
        SetWindowTextW(h, widen(control.text()).c_str());
    }
}

namespace {

// The font's em in pixels: the height it was asked for, its characters without the room above.
int emOf(HFONT font) {
    LOGFONTW lf{};
    GetObjectW(font, sizeof(lf), &lf);
    return lf.lfHeight < 0 ? static_cast<int>(-lf.lfHeight) : static_cast<int>(lf.lfHeight);
}

}  // namespace

int lineLift(HDC dc, const RECT& row) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int excess = metrics.tmHeight - static_cast<int>(row.bottom - row.top);
    return excess > 0 ? -(excess + 1) / 2 : 0;
}

void FormWindow::applyItemHeight(ui::Control& list) {
    HWND h = nativeOf(list);
    if (!h || list.kind() != ui::Kind::ListBox) return;
    // A row is as high as the font's em: a Windows face's line, which keeps no room above its
    // characters; a face that stands in with a taller line would cut the last row of a list sized
    // for whole rows (three of the timer's hours and minutes).
    const int em = emOf(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
    SendMessageW(h, LB_SETITEMHEIGHT, 0, std::clamp<LPARAM>(em, 1, 255));
}

void FormWindow::drawListItem(ui::Control& list, const DRAWITEMSTRUCT& item) {
    const ui::ListModel& model = list.model();
    const bool row = item.itemID != static_cast<UINT>(-1) && item.itemID < model.size();
    const bool selected = row && (item.itemState & ODS_SELECTED);
    const bool enabled = !(item.itemState & ODS_DISABLED);
    const ui::ControlDef& p = list.props();
    HDC dc = item.hDC;
    const COLORREF back = selected       ? GetSysColor(COLOR_HIGHLIGHT)
                          : p.backColour ? colourRef(*p.backColour)
                                         : GetSysColor(COLOR_WINDOW);
    const COLORREF text = !enabled       ? GetSysColor(COLOR_GRAYTEXT)
                          : selected     ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                          : p.foreColour ? colourRef(*p.foreColour)
                                         : GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF oldBack = SetBkColor(dc, back), oldText = SetTextColor(dc, text);
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    // The whole row each time, the focus rectangle last: the row looks the same whatever the
    // action that asked for it.
    const std::wstring caption = row ? widen(model.item(item.itemID)) : std::wstring();
    ExtTextOutW(dc, item.rcItem.left + MulDiv(kItemMargin, dpi_, kDefaultDpi),
                item.rcItem.top + lineLift(dc, item.rcItem), ETO_OPAQUE | ETO_CLIPPED, &item.rcItem,
                caption.c_str(), static_cast<UINT>(caption.size()), nullptr);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &item.rcItem);
    SelectObject(dc, oldFont);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

int FormWindow::rowForKey(const ui::Control& list, wchar_t key, int caret) const {
    // The next row after the caret that begins with the key, round to the caret again.
    const ui::ListModel& model = list.model();
    const std::size_t rows = model.size();
    if (rows == 0) return -2;
    const wchar_t wanted = upper(key);
    const std::size_t start = caret < 0 ? 0 : static_cast<std::size_t>(caret) + 1;
    for (std::size_t i = 0; i < rows; ++i) {
        const std::size_t row = (start + i) % rows;
        if (upper(firstUnit(model.item(row))) == wanted) return static_cast<int>(row);
    }
    return -2;  // no such row: nothing moves
}

}  // namespace qm::win32
