// The Win32 back end: one FormWindow per loaded form, the message loop, and the modal pieces
// (popup menus, message boxes) that run nested while timers keep ticking.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include "platform/win32/win32_backend.h"

#include <commctrl.h>

#include "platform/win32/dpi.h"
#include "platform/win32/form_window.h"
#include "platform/win32/line_window.h"
#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"QuietusForm";
constexpr wchar_t kOwnerClass[] = L"QuietusOwner";

}  // namespace

void initialiseWindowClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_DATE_CLASSES |
                                                        ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                                        ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = FormWindow::windowProc;
    form.hInstance = instance;
    form.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);

    WNDCLASSEXW owner{};
    owner.cbSize = sizeof(owner);
    owner.lpfnWndProc = DefWindowProcW;
    owner.hInstance = instance;
    owner.lpszClassName = kOwnerClass;
    RegisterClassExW(&owner);

    registerLineClass();
}

const wchar_t* formClassName() {
    return kFormClass;
}

Win32Backend::Win32Backend(Options options) : options_(options) {
    initialiseWindowClasses();
}

Win32Backend::~Win32Backend() {
    windows_.clear();
    retired_.clear();
    if (owner_) DestroyWindow(owner_);
}

FormWindow* Win32Backend::windowOf(const ui::Form& form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.get();
}

HWND Win32Backend::window(const ui::Form& form) const {
    FormWindow* fw = windowOf(form);
    return fw ? fw->hwnd() : nullptr;
}

int Win32Backend::dpiFor(HWND window) const {
    return options_.dpi > 0 ? options_.dpi : dpiOfWindow(window);
}

int Win32Backend::screenDpi() const {
    return options_.dpi > 0 ? options_.dpi : systemDpi();
}

HWND Win32Backend::hiddenOwner() {
    if (!owner_) {
        owner_ = CreateWindowExW(0, kOwnerClass, L"QuietusMachine", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    return owner_;
}

HWND Win32Backend::userWindow() {
    HWND foreground = GetForegroundWindow();
    bool tray = !foreground || foreground == owner_;
    for (const auto& [form, fw] : windows_)
        tray = tray || (fw->hwnd() == foreground && form->def().role == ui::Role::Window);
    if (!tray) userWindow_ = foreground;
    if (userWindow_ && !IsWindow(userWindow_)) userWindow_ = nullptr;
    return userWindow_;
}

void Win32Backend::created(ui::Form& form) {
    auto fw = std::make_unique<FormWindow>(*this, form);
    FormWindow& made = *fw;
    windows_[&form] = std::move(fw);
    form.native = &made;
    made.create();
}

void Win32Backend::destroyed(ui::Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end()) return;
    std::unique_ptr<FormWindow> fw = std::move(it->second);
    windows_.erase(it);
    fw->destroy();
    for (const auto& control : form.controls()) control->native = nullptr;
    retired_.push_back(std::move(fw));
}

void Win32Backend::shown(ui::Form& form) {
    if (FormWindow* fw = windowOf(form)) fw->show();
}

void Win32Backend::hidden(ui::Form& form) {
    if (FormWindow* fw = windowOf(form)) fw->hide();
}

void Win32Backend::formChanged(ui::Form& form, ui::FormProp prop) {
    if (FormWindow* fw = windowOf(form)) fw->formChanged(prop);
}

void Win32Backend::changed(ui::Control& control, ui::Prop prop) {
    if (FormWindow* fw = windowOf(control.form())) fw->changed(control, prop);
}

void Win32Backend::listChanged(ui::Control& control, const ui::ListChange& change) {
    if (FormWindow* fw = windowOf(control.form())) fw->listChanged(control, change);
}

void Win32Backend::timerChanged(ui::Control& timer) {
    if (FormWindow* fw = windowOf(timer.form())) fw->timerChanged(timer);
}

ui::Size Win32Backend::outerSize(const ui::Form& form) const {
    FormWindow* fw = windowOf(form);
    if (!fw) return {};
    const SIZE size = fw->outerPixels();
    return {pixelsToTwips(size.cx, screenDpi()), pixelsToTwips(size.cy, screenDpi())};
}

ui::Size Win32Backend::screenSize() const {
    return {pixelsToTwips(GetSystemMetrics(SM_CXSCREEN), screenDpi()),
            pixelsToTwips(GetSystemMetrics(SM_CYSCREEN), screenDpi())};
}

void Win32Backend::popupMenu(ui::Form& form, ui::Control& menu, ui::PopupButtons buttons,
                             std::optional<ui::ScreenPoint> anchor, std::function<void(bool chosen)> closed) {
    FormWindow* fw = windowOf(form);
    HMENU popup = CreatePopupMenu();
    std::vector<ui::Control*> items;
    for (ui::Control* item : form.childrenOf(menu.name())) {
        if (item->kind() != ui::Kind::MenuItem || !item->visible()) continue;
        items.push_back(item);
        const UINT id = static_cast<UINT>(items.size());
        if (item->caption() == "-") {
            AppendMenuW(popup, MF_SEPARATOR, id, nullptr);
        } else {
            AppendMenuW(popup, MF_STRING | (item->enabled() ? MF_ENABLED : MF_GRAYED), id,
                        widen(item->caption()).c_str());
        }
    }
    POINT at{};
    if (anchor) {
        at = POINT{anchor->x, anchor->y};
    } else {
        GetCursorPos(&at);
    }
    HWND owner = fw ? fw->hwnd() : nullptr;
    // A menu opened from the tray belongs to a window that is shown but far off the screen. Without
    // the foreground the menu would not close when the user clicks elsewhere; the message after it
    // lets the owner's queue move on, or the next menu would close as soon as it opened. The
    // foreground goes back where it was unless a window the menu opened took it.
    const HWND before = userWindow();
    menuOpen_ = true;
    if (owner) SetForegroundWindow(owner);
    const UINT button = buttons == ui::PopupButtons::LeftAndRight ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON;
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_NONOTIFY | button, at.x, at.y, owner, nullptr));
    if (owner) PostMessageW(owner, WM_NULL, 0, 0);
    DestroyMenu(popup);
    const bool picked = chosen >= 1 && chosen <= items.size();
    if (picked) form.runtime().click(*items[chosen - 1]);
    menuOpen_ = false;
    if (owner && GetForegroundWindow() == owner && before && IsWindow(before)) SetForegroundWindow(before);
    if (closed) closed(picked);
}

void Win32Backend::messageBox(const std::string& text, const std::string& title,
                              ui::MessageBoxButtons buttons, std::function<void(ui::MessageBoxAnswer)> closed) {
    UINT style = MB_SETFOREGROUND;
    switch (buttons) {
        case ui::MessageBoxButtons::Ok:
            style |= MB_OK;
            break;
        case ui::MessageBoxButtons::YesNo:
            style |= MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2;  // いいえ keeps the file as it is
            break;
    }
    // Owned by no window, like the program's other windows; its own loop keeps timers ticking.
    const int chosen = MessageBoxW(nullptr, widen(text).c_str(), widen(title).c_str(), style);
    const ui::MessageBoxAnswer answer = buttons == ui::MessageBoxButtons::Ok ? ui::MessageBoxAnswer::Ok
                                        : chosen == IDYES                    ? ui::MessageBoxAnswer::Yes
                                                                             : ui::MessageBoxAnswer::No;
    if (closed) closed(answer);
}

bool Win32Backend::dialogMessage(MSG& message) const {
    if (!message.hwnd) return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    for (const auto& [form, fw] : windows_) {
        if (fw->hwnd() == root) return IsDialogMessageW(root, &message) != FALSE;
    }
    return false;
}

void Win32Backend::dispatch(MSG& message) const {
    if (dialogMessage(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32Backend::doEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
            return;
        }
        dispatch(message);
    }
}

int Win32Backend::run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        dispatch(message);
        retired_.clear();  // no window procedure of theirs is running out here
    }
    return static_cast<int>(message.wParam);
}

void Win32Backend::disableCloseCommand(ui::Form& form) {
    if (FormWindow* fw = windowOf(form)) fw->disableCloseCommand();
}

void Win32Backend::quit(int exitCode) {
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace qm::win32
