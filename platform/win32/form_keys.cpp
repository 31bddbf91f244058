// Keys on a form's window, as in a dialog: Enter clicks the default button (or the button that has
// the focus), Esc the cancel button, or closes a form without one as its close box would. Tab and
// the arrows are IsDialogMessage's (the message loop), the Delete key and the menu key on a list
// box are the list's own.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <windowsx.h>

#include "platform/win32/dpi.h"
#include "platform/win32/form_window.h"
#include "platform/win32/menu_anchor.h"

namespace qm::win32 {
namespace {

bool isPushButton(const ui::Control& control) {
    return control.kind() == ui::Kind::Button;
}

}  // namespace

// IsDialogMessage asks this on Enter: a focused button is the one Enter clicks, as in a dialog,
// where the focus carries the default along; elsewhere the definition's default button.
LRESULT FormWindow::defaultButtonId() const {
    const ui::Control* chosen = nullptr;
    if (const ui::Control* focused = controlOf(GetFocus()); focused && isPushButton(*focused)) {
        chosen = focused;
    } else {
        for (const auto& c : form_.controls()) {
            if (isPushButton(*c) && c->props().isDefault && onScreen(*c) && c->enabled()) chosen = c.get();
        }
    }
    if (!chosen || !nativeOf(*chosen)) return 0;
    return MAKELRESULT(GetDlgCtrlID(nativeOf(*chosen)), DC_HASDEFID);
}

// IDOK and IDCANCEL, which IsDialogMessage sends for Enter and Esc.
void FormWindow::dialogKey(WORD id) {
    const bool cancel = id == IDCANCEL;
    if (id != IDOK && !cancel) return;
    for (const auto& c : form_.controls()) {
        const bool wanted = cancel ? c->props().isCancel : c->props().isDefault;
        if (isPushButton(*c) && wanted) {
            if (onScreen(*c) && c->enabled()) form_.runtime().click(*c);
            return;
        }
    }
    if (cancel && form_.def().controlBox) form_.runtime().closeRequested(form_);
}

// WM_VKEYTOITEM: -2 when the list's handler took the key, -1 for the list box's own handling.
LRESULT FormWindow::listKey(ui::Control& list, WORD key) {
    if (key != VK_DELETE || !list.onKeyDown) return -1;
    form_.runtime().keyDown(list, ui::Key::Delete);
    return -2;
}

// Shift+F10 or the menu key on a list: what the right button pressed on its caret row does, with
// a menu that opens there rather than at the mouse.
void FormWindow::listContextKey(ui::Control& list) {
    HWND h = nativeOf(list);
    RECT row{};
    const auto caret = SendMessageW(h, LB_GETCARETINDEX, 0, 0);
    if (caret < 0 || SendMessageW(h, LB_GETITEMRECT, static_cast<WPARAM>(caret), reinterpret_cast<LPARAM>(&row)) == LB_ERR)
        row = RECT{};
    POINT at{row.left, row.bottom};
    ClientToScreen(h, &at);
    anchorNextMenu(at);
    form_.runtime().mouseDown(list, ui::kRightButton, 0, pixelsToTwips(row.left, dpi_), pixelsToTwips(row.top, dpi_));
    anchorNextMenu(std::nullopt);  // no menu opened: the next one opens at the mouse again
}

}  // namespace qm::win32
