// Keys on a form's window, as in a dialog: Enter and Esc reach the form runtime through
// IsDialogMessage (the message loop), which also does Tab and the arrows; the Delete key on a list
// box is the list's own, and so are Enter and Space on a link. A context menu asked for, by the
// mouse or by a key, is the control's event, with the place the menu opens at.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <commctrl.h>
#include <windowsx.h>

#include "platform/win32/dpi.h"
#include "platform/win32/form_window.h"

namespace qm::win32 {
namespace {

bool isKeyDown(const MSG* message, WPARAM key) {
    return message && message->message == WM_KEYDOWN && message->wParam == key;
}

// A link is a label, which Windows gives no keys of its own: it asks for Enter, which the dialog
// keys would otherwise give the default button, and takes Space as a button does. The form draws
// the link and its focus, so it draws it anew when the focus or the keyboard cues change.
LRESULT CALLBACK linkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto& link = *reinterpret_cast<ui::Control*>(data);
    switch (message) {
        case WM_GETDLGCODE:
            if (isKeyDown(reinterpret_cast<const MSG*>(lParam), VK_RETURN))
                return DefSubclassProc(hwnd, message, wParam, lParam) | DLGC_WANTMESSAGE;
            break;
        case WM_KEYDOWN:
            if (lParam & (1 << 30)) break;  // a held key clicks once
            if (wParam == VK_RETURN) {
                link.form().runtime().enterPressed(link.form(), &link);
                return 0;
            }
            if (wParam == VK_SPACE) {
                link.form().runtime().spacePressed(&link);
                return 0;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE: {
            const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
            InvalidateRect(hwnd, nullptr, FALSE);
            return result;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, linkProc, 3);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void takeLinkKeys(HWND hwnd, ui::Control& link) {
    SetWindowSubclass(hwnd, linkProc, 3, reinterpret_cast<DWORD_PTR>(&link));
}

// IsDialogMessage asks this on Enter, and draws the answer as the default: the button with the
// focus, as in a dialog, where the focus carries the default along; elsewhere the form's default
// button.
LRESULT FormWindow::defaultButtonId() const {
    const ui::Control* chosen = form_.enterTarget(controlOf(GetFocus()));
    if (chosen && chosen->kind() != ui::Kind::Button) chosen = form_.defaultButton();  // a link
    if (!chosen || !nativeOf(*chosen)) return 0;
    return MAKELRESULT(GetDlgCtrlID(nativeOf(*chosen)), DC_HASDEFID);
}

// IDOK and IDCANCEL, which IsDialogMessage sends for Enter (when no button answered it) and Esc.
void FormWindow::dialogKey(WORD id) {
    if (id == IDOK) form_.runtime().enterPressed(form_, nullptr);
    if (id == IDCANCEL) form_.runtime().escapePressed(form_);
}

// WM_VKEYTOITEM: -2 when the list's handler took the key, -1 for the list box's own handling.
LRESULT FormWindow::listKey(ui::Control& list, WORD key) {
    if (key != VK_DELETE || !list.onKeyDown) return -1;
    form_.runtime().keyDown(list, ui::Key::Delete);
    return -2;
}

// WM_CONTEXTMENU for a control: the right button released over it, at the mouse; from the keyboard
// (Shift+F10, the menu key; the place is (-1, -1)) at a list's caret row, else below the control.
// False when the control asks for no menu.
bool FormWindow::contextMenuAsked(ui::Control& control, LPARAM place) {
    if (!control.onContextMenu) return false;
    ui::ContextMenuEvent event{.anchor = {GET_X_LPARAM(place), GET_Y_LPARAM(place)}};
    if (event.anchor == ui::ScreenPoint{-1, -1}) {
        HWND h = nativeOf(control);
        RECT row{};
        GetClientRect(h, &row);
        row.top = row.bottom;
        if (control.kind() == ui::Kind::ListBox) {
            const auto caret = SendMessageW(h, LB_GETCARETINDEX, 0, 0);
            if (caret < 0 ||
                SendMessageW(h, LB_GETITEMRECT, static_cast<WPARAM>(caret), reinterpret_cast<LPARAM>(&row)) == LB_ERR)
                row = RECT{};
        }
        POINT at{row.left, row.bottom};
        ClientToScreen(h, &at);
        event = {.anchor = {at.x, at.y}, .fromKeyboard = true};
    }
    form_.runtime().contextMenu(control, event);
    return true;
}

}  // namespace qm::win32
