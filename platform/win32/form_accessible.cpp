// What a form's windows say to screen readers beyond Windows' own objects: a form is a dialog or
// an alert named by its caption; a label, which the form draws itself, is text, or a link that
// takes the focus and is clicked as its default action; an image of the traffic light says which
// lamp is lit; a list box reads its rows from the model and is named as its form names it.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <commctrl.h>
#include <oleacc.h>

#include "platform/win32/form_window.h"
#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

long roleOf(ui::Role role) {
    switch (role) {
        case ui::Role::Dialog: return ROLE_SYSTEM_DIALOG;
        case ui::Role::Alert: return ROLE_SYSTEM_ALERT;
        case ui::Role::Window: break;
    }
    return 0;
}

// A link's default action, in the word Windows' own links use for it.
constexpr wchar_t kJump[] = L"ジャンプ";

FormWindow* formWindowOf(HWND hwnd) {
    if (!hwnd || GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&FormWindow::windowProc))
        return nullptr;
    return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK screenReaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_GETOBJECT) {
        if (const LRESULT answer = answerGetObject(hwnd, wParam, lParam, &FormWindow::describe)) return answer;
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, screenReaderProc, 2);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void answerScreenReaders(HWND hwnd) {
    SetWindowSubclass(hwnd, screenReaderProc, 2, 0);
}

bool FormWindow::describe(HWND window, AccessibleFace& face) {
    FormWindow* fw = formWindowOf(window);
    if (!fw) fw = formWindowOf(GetParent(window));
    if (!fw || fw->dying_ || !fw->hwnd_) return false;
    if (window == fw->hwnd_) {
        face.role = roleOf(fw->form_.def().role);
        return true;
    }
    const ui::Control* c = fw->controlOf(window);
    if (!c) return false;
    switch (c->kind()) {
        case ui::Kind::Label:
            face.role = c->props().link ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_STATICTEXT;
            if (!c->props().link) break;
            face.name = widen(c->caption());
            face.state = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED;  // focused: as Windows' object says
            face.action = kJump;
            break;
        case ui::Kind::Image:
            face.role = ROLE_SYSTEM_GRAPHIC;
            face.name = widen(ui::iconName(c->props().icon));
            break;
        case ui::Kind::ListBox:
            face.role = ROLE_SYSTEM_LIST;
            face.rows = c;
            face.name = widen(fw->form_.accessibleName(*c));
            break;
        default:
            break;
    }
    return true;
}

}  // namespace qm::win32
