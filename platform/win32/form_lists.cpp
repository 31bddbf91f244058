// List and combo boxes: their items kept in step with the model, and the mouse buttons pressed
// on them reported to the form.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <commctrl.h>
#include <windowsx.h>

#include "platform/win32/dpi.h"
#include "platform/win32/form_window.h"
#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

// List and combo boxes report any mouse button pressed on them, in the form's scale.
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
        double x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        if (fw && !control.form().def().pixelScale) {
            x = pixelsToTwips(static_cast<int>(x), fw->dpi());
            y = pixelsToTwips(static_cast<int>(y), fw->dpi());
        }
        control.form().runtime().mouseDown(control, button, shift, x, y);
        if (!IsWindow(hwnd)) return 0;  // the handler unloaded the form
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void listenForMouseDowns(HWND hwnd, ui::Control& control) {
    SetWindowSubclass(hwnd, mouseDownProc, 1, reinterpret_cast<DWORD_PTR>(&control));
}

void FormWindow::fillItems(ui::Control& control, bool itemsChanged) {
    HWND h = nativeOf(control);
    const bool list = control.kind() == ui::Kind::ListBox;
    if (!h || (!list && control.kind() != ui::Kind::ComboBox)) return;
    if (itemsChanged) syncItems(control);
    SendMessageW(h, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(control.listIndex()), 0);
    // Picking or emptying changes a combo box's edit field; the model's text stays what it is.
    if (!list) SetWindowTextW(h, widen(control.text()).c_str());
}

void FormWindow::syncItems(ui::Control& control) {
    HWND h = nativeOf(control);
    const bool list = control.kind() == ui::Kind::ListBox;
    const UINT count = list ? LB_GETCOUNT : CB_GETCOUNT, add = list ? LB_ADDSTRING : CB_ADDSTRING,
               remove = list ? LB_DELETESTRING : CB_DELETESTRING,
               reset = list ? LB_RESETCONTENT : CB_RESETCONTENT,
               lengthOf = list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, textOf = list ? LB_GETTEXT : CB_GETLBTEXT;
    const auto& items = control.items();
    const int had = static_cast<int>(SendMessageW(h, count, 0, 0));
    const int has = static_cast<int>(items.size());
    auto nativeItem = [&](int i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(h, lengthOf, static_cast<WPARAM>(i), 0)) + 1,
                          L'\0');
        text.resize(static_cast<std::size_t>(
            SendMessageW(h, textOf, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()))));
        return text;
    };
    // Each change of the model is one append, one removal or a clear, so a long list is kept in
    // step one item at a time instead of being rebuilt.
    if (has == had + 1) {
        SendMessageW(h, add, 0, reinterpret_cast<LPARAM>(widen(items.back()).c_str()));
        return;
    }
    if (has == had - 1 && has > 0) {
        int gone = has;
        for (int i = 0; i < has; ++i) {
            if (nativeItem(i) != widen(items[static_cast<std::size_t>(i)])) {
                gone = i;
                break;
            }
        }
        SendMessageW(h, remove, static_cast<WPARAM>(gone), 0);
        return;
    }
    SendMessageW(h, WM_SETREDRAW, FALSE, 0);
    SendMessageW(h, reset, 0, 0);
    for (const std::string& item : items)
        SendMessageW(h, add, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
    SendMessageW(h, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(h, nullptr, TRUE);
}

}  // namespace qm::win32
