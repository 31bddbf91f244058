// A form's native window: creation from the definition, the window procedure, and what the form
// as a whole mirrors (caption, position, icon, the greyed Close command).
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include "platform/win32/form_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <chrono>
#include <utility>
#include <vector>

#include "platform/win32/dpi.h"
#include "platform/win32/icons.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/window_owner.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace qm::win32 {
namespace {

DWORD styleOf(const ui::FormDef& def) {
    // No WS_CLIPCHILDREN: a group box leaves its inside to the form to paint.
    DWORD style = 0;
    if (def.border == ui::Border::None) return style | WS_POPUP;
    style |= WS_OVERLAPPED | WS_CAPTION;
    if (def.controlBox) style |= WS_SYSMENU;
    if (def.minButton) style |= WS_MINIMIZEBOX;
    if (def.maxButton) style |= WS_MAXIMIZEBOX;
    return style;
}

DWORD exStyleOf(const ui::FormDef& def) {
    DWORD ex = WS_EX_CONTROLPARENT;
    if (def.border == ui::Border::FixedDialog) ex |= WS_EX_DLGMODALFRAME;
    // The tray's window is off the screen: it never takes the keyboard, nor does Windows hand it
    // the activation when another window closes.
    if (def.role == ui::Role::Window) ex |= WS_EX_NOACTIVATE;
    if (def.showInTaskbar) return ex | WS_EX_APPWINDOW;
    // A window without a caption has no taskbar button to hide, but would still show in Alt+Tab.
    if (def.border == ui::Border::None) ex |= WS_EX_TOOLWINDOW;
    return ex;
}

std::chrono::year_month_day dateOf(const SYSTEMTIME& time) {
    return std::chrono::year_month_day{std::chrono::year{time.wYear}, std::chrono::month{time.wMonth},
                                       std::chrono::day{time.wDay}};
}

}  // namespace

FormWindow::FormWindow(Win32Backend& backend, ui::Form& form) : backend_(backend), form_(form) {}

FormWindow::~FormWindow() {
    destroy();
    for (auto& [colour, brush] : brushes_) DeleteObject(brush);
}

void FormWindow::create() {
    const ui::FormDef& def = form_.def();
    const DWORD style = styleOf(def), ex = exStyleOf(def);
    // Forms kept off the taskbar belong to a window that is never shown.
    HWND owner = def.showInTaskbar ? nullptr : backend_.hiddenOwner();
    const int screen = backend_.screenDpi();
    CreateWindowExW(ex, formClassName(), widen(def.caption).c_str(), style,
                    twipsToPixels(form_.left(), screen), twipsToPixels(form_.top(), screen), 0, 0, owner,
                    nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) return;
    dpi_ = backend_.dpiFor(hwnd_);
    fitClientArea();
    formChanged(ui::FormProp::Icon);
    createControls();
}

void FormWindow::fitClientArea() {
    const ui::FormDef& def = form_.def();
    const SIZE client{twipsToPixels(def.clientWidth, dpi_), twipsToPixels(def.clientHeight, dpi_)};
    const SIZE outer = outerSizeForClient(client, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)),
                                          static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)), dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame Windows actually draws decides; it can differ from the computed one (a DPI fixed
    // for tests, themes that draw wider borders).
    RECT window{}, inside{};
    GetWindowRect(hwnd_, &window);
    GetClientRect(hwnd_, &inside);
    const SIZE exact{client.cx + (window.right - window.left) - inside.right,
                     client.cy + (window.bottom - window.top) - inside.bottom};
    if (exact.cx != outer.cx || exact.cy != outer.cy) {
        SetWindowPos(hwnd_, nullptr, 0, 0, exact.cx, exact.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void FormWindow::destroy() {
    if (!hwnd_) return;
    dying_ = true;
    alarms_.clear();  // their threads end before the window they post to goes
    const bool active = GetForegroundWindow() == hwnd_;
    DestroyWindow(hwnd_);  // its tooltip window, which it owns, goes with it
    hwnd_ = nullptr;
    if (active) giveFocusBack();
}

void FormWindow::show() {
    const bool appearing = !IsWindowVisible(hwnd_);
    if (form_.def().role == ui::Role::Window) {
        backend_.userWindow();  // where the user is as the program starts
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        return;
    }
    if (appearing) returnTo_ = backend_.userWindow();
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    ShowWindow(hwnd_, SW_SHOW);
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd_);
    // Screen readers read an alert out as it appears, whatever the user was doing; once, though
    // the due check shows the warning again and again through its due second.
    if (appearing && form_.def().role == ui::Role::Alert) announce(EVENT_SYSTEM_ALERT, hwnd_);
}

void FormWindow::hide() {
    const bool active = GetForegroundWindow() == hwnd_;
    ShowWindow(hwnd_, SW_HIDE);
    if (active) giveFocusBack();
}

// Windows would activate whichever window comes next; the user goes back to where they were.
void FormWindow::giveFocusBack() {
    HWND back = std::exchange(returnTo_, nullptr);
    if (back && IsWindow(back) && IsWindowVisible(back)) SetForegroundWindow(back);
}

void FormWindow::formChanged(ui::FormProp prop) {
    switch (prop) {
        case ui::FormProp::Caption:
            SetWindowTextW(hwnd_, widen(form_.caption()).c_str());
            break;
        case ui::FormProp::Position: {
            const int screen = backend_.screenDpi();
            SetWindowPos(hwnd_, nullptr, twipsToPixels(form_.left(), screen),
                         twipsToPixels(form_.top(), screen), 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        case ui::FormProp::Icon:
            SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
                         reinterpret_cast<LPARAM>(programIcon(form_.icon(), systemMetric(SM_CXICON, dpi_))));
            SendMessageW(
                hwnd_, WM_SETICON, ICON_SMALL,
                reinterpret_cast<LPARAM>(programIcon(form_.icon(), systemMetric(SM_CXSMICON, dpi_))));
            break;
    }
}

void FormWindow::timerChanged(ui::Control& timer) {
    const int index = kFirstControlId + indexOf(timer);
    const UINT_PTR id = static_cast<UINT_PTR>(index);
    const bool run = timer.enabled() && form_.isLoaded();
    auto alarm = alarms_.find(index);
    if (run && timer.deadline()) {
        KillTimer(hwnd_, id);
        if (alarm == alarms_.end())
            alarm = alarms_.emplace(index, std::make_unique<RealTimeAlarm>(hwnd_, kAlarmMessage, id)).first;
        alarm->second->set(*timer.deadline());
        return;
    }
    if (alarm != alarms_.end()) alarm->second->cancel();
    if (run && timer.interval() > 0) {
        SetTimer(hwnd_, id, static_cast<UINT>(timer.interval()), nullptr);  // restarts a running one
    } else {
        KillTimer(hwnd_, id);
    }
}

void FormWindow::clockChanged() {
    // Copied first: a handler may set its timer again, or unload the form.
    std::vector<ui::Control*> waiting;
    for (const auto& [index, alarm] : alarms_) {
        if (ui::Control* timer = controlAt(index); timer && timer->deadline()) waiting.push_back(timer);
    }
    for (ui::Control* timer : waiting) {
        if (!form_.isLoaded()) return;
        form_.runtime().timerTick(*timer);
    }
}

void FormWindow::disableCloseCommand() {
    HMENU system = GetSystemMenu(hwnd_, FALSE);
    if (!system) return;
    wchar_t text[256];
    std::fill(std::begin(text), std::end(text), L' ');
    text[255] = L'\0';
    if (!GetMenuStringW(system, SC_CLOSE, text, 256, MF_BYCOMMAND)) return;
    // The item keeps its text, turns grey and loses the SC_CLOSE command, which also greys the
    // close box in the caption.
    ModifyMenuW(system, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED | MF_STRING, 0, text);
    DrawMenuBar(hwnd_);
}

SIZE FormWindow::outerPixels() const {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

LRESULT CALLBACK FormWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win32::windowOwner(hwnd, message, lParam, &FormWindow::hwnd_);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (self) self->hwnd_ = nullptr;
    }
    if (!self || self->dying_ || message == WM_NCDESTROY)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

// Every call into the runtime comes last: a handler may unload the form, and this object with it.
LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            return onCommand(wParam, lParam);
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_CTLCOLORSTATIC:
            return onColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            ui::Control* c = controlOf(item.hwndItem);
            if (c && c->kind() == ui::Kind::Label) {
                drawLabel(*c, item);
                return TRUE;
            }
            if (c && c->kind() == ui::Kind::ListBox) {
                drawListItem(*c, item);
                return TRUE;
            }
            break;
        }
        case WM_VKEYTOITEM:
            if (ui::Control* list = controlOf(reinterpret_cast<HWND>(lParam));
                list && list->kind() == ui::Kind::ListBox)
                return listKey(*list, LOWORD(wParam));
            break;
        case WM_CONTEXTMENU:
            if (ui::Control* c = controlOf(reinterpret_cast<HWND>(wParam)); c && contextMenuAsked(*c, lParam))
                return 0;
            break;
        case DM_GETDEFID:
            if (const LRESULT id = defaultButtonId()) return id;
            break;
        case WM_GETOBJECT:
            if (form_.def().role == ui::Role::Window) break;  // the tray's window is only a window
            if (const LRESULT answer = answerGetObject(hwnd_, wParam, lParam, &FormWindow::describe)) return answer;
            break;
        case WM_CHARTOITEM:
            // The caret in the message is 16 bits; a long list's own answer is not.
            if (ui::Control* list = controlOf(reinterpret_cast<HWND>(lParam));
                list && list->kind() == ui::Kind::ListBox) {
                const auto caret = SendMessageW(reinterpret_cast<HWND>(lParam), LB_GETCARETINDEX, 0, 0);
                return rowForKey(*list, static_cast<wchar_t>(LOWORD(wParam)), static_cast<int>(caret));
            }
            break;
        case WM_TIMER:
        case kAlarmMessage:
            if (ui::Control* timer = controlAt(static_cast<int>(wParam));
                timer && timer->kind() == ui::Kind::Timer) {
                form_.runtime().timerTick(*timer);
                return 0;
            }
            break;
        case WM_TIMECHANGE:
            clockChanged();
            break;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) clockChanged();
            break;
        case WM_CLOSE:
            // The form decides; a form whose Close command is greyed stays.
            form_.runtime().closeRequested(form_);
            return 0;
        case WM_ACTIVATE:
            onActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case kGiveBackMessage:
            // Activated when another window closed (Wine does so despite WS_EX_NOACTIVATE): the
            // foreground goes back to the user's window unless a menu of ours needs it.
            if (GetForegroundWindow() == hwnd_ && !backend_.menuOpen()) {
                if (HWND back = backend_.userWindow()) SetForegroundWindow(back);
            }
            return 0;
        case WM_SETCURSOR:
            // A label that answers clicks is a link: the hand says so.
            if (ui::Control* c = controlOf(reinterpret_cast<HWND>(wParam));
                c && c->kind() == ui::Kind::Label && c->onClick) {
                SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649) /* IDC_HAND */));
                return TRUE;
            }
            break;
        case WM_ERASEBKGND:
            paintBackground(reinterpret_cast<HDC>(wParam));
            return TRUE;
        case WM_THEMECHANGED:
        case WM_SYSCOLORCHANGE:
            pages_.clear();
            InvalidateRect(hwnd_, nullptr, TRUE);
            break;
        case WM_DPICHANGED:
            onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT FormWindow::onCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam == 0) {  // Enter and Esc as IsDialogMessage sends them; the form has no menu bar
        dialogKey(LOWORD(wParam));
        return 0;
    }
    ui::Control* c = controlAt(LOWORD(wParam));
    if (!c || nativeOf(*c) != reinterpret_cast<HWND>(lParam)) return 0;
    const WORD code = HIWORD(wParam);
    auto child = reinterpret_cast<HWND>(lParam);
    switch (c->kind()) {
        case ui::Kind::Label:  // STN_CLICKED, with SS_NOTIFY
        case ui::Kind::Button:
        case ui::Kind::Option:
            if (code == BN_CLICKED) form_.runtime().click(*c);
            break;
        case ui::Kind::ListBox:
            if (code == LBN_SELCHANGE) {
                c->syncListIndex(static_cast<int>(SendMessageW(child, LB_GETCURSEL, 0, 0)));
                form_.runtime().click(*c);
            }
            break;
        case ui::Kind::ComboBox:
            if (code == CBN_EDITCHANGE) {
                std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
                text.resize(static_cast<std::size_t>(
                    GetWindowTextW(child, text.data(), static_cast<int>(text.size()))));
                c->syncText(narrow(text));
            } else if (code == CBN_SELCHANGE) {
                const int index = static_cast<int>(SendMessageW(child, CB_GETCURSEL, 0, 0));
                if (index < 0 || index >= c->listCount()) return 0;
                c->syncListIndex(index);
                c->syncText(c->list(index));  // the edit field takes the picked item
                form_.runtime().click(*c);
            }
            break;
        default:
            break;
    }
    return 0;
}

LRESULT FormWindow::onNotify(const NMHDR& header) {
    ui::Control* c = controlAt(static_cast<int>(header.idFrom));
    if (!c || nativeOf(*c) != header.hwndFrom) return 0;
    if (c->kind() == ui::Kind::Calendar && header.code == MCN_SELECT) {
        // A day clicked, not a month scrolled: the calendar's value is that day before the click.
        c->syncDate(dateOf(reinterpret_cast<const NMSELCHANGE&>(header).stSelStart));
        form_.runtime().click(*c);
    } else if (c->kind() == ui::Kind::TabStrip && header.code == TCN_SELCHANGE) {
        c->syncCurrentTab(static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
        applyVisibility();
    }
    return 0;
}

void FormWindow::onActivate(bool active) {
    if (form_.def().role == ui::Role::Window) {
        if (active && !backend_.menuOpen()) PostMessageW(hwnd_, kGiveBackMessage, 0, 0);
        return;
    }
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
        return;
    }
    if (lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_)) {
        SetFocus(lastFocus_);
        return;
    }
    // First activation: the control the form gives the focus first, else the window itself, which
    // then takes the keys.
    const ui::Control* first = form_.firstFocus();
    HWND child = first ? nativeOf(*first) : nullptr;
    SetFocus(child ? child : hwnd_);
}

void FormWindow::onDpiChanged(int dpi, const RECT& suggested) {
    if (backend_.dpiFor(hwnd_) != dpi) return;  // a fixed DPI stays fixed
    dpi_ = dpi;
    pages_.clear();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    fitClientArea();
    for (const auto& c : form_.controls()) {
        applyFont(*c);
        applyIcon(*c);
    }
    formChanged(ui::FormProp::Icon);
    layout();
}

}  // namespace qm::win32
