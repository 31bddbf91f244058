// The notification-area icon. The service keeps a hidden top-level window of its own for the
// shell's messages: a message-only window would never hear "TaskbarCreated", which Explorer
// broadcasts to top-level windows when it restarts, and on which the icon is added again so that
// the program never runs unreachable. Releasing the left button over the icon is the primary
// click, releasing the right one the secondary; from the keyboard (the icon picked with Win+B
// and the arrows), Enter or Space is the primary click and Shift+F10 or the menu key the
// secondary, and the focus goes back to the icons after a menu so opened is dismissed. A click on
// the icon's balloon is reported as such. The shell speaks NOTIFYICON_VERSION_4 to the icon, which
// says so.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "platform/win32/dpi.h"
#include "platform/win32/icons.h"
#include "platform/win32/services.h"
#include "platform/win32/wide.h"
#include "platform/win32/window_owner.h"

namespace qm::win32 {
namespace {

constexpr UINT kIconId = 1;
// With version 4 the shell shows the tip only when asked to; screen readers name the icon by it.
constexpr UINT kEveryPart = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
constexpr wchar_t kWindowClass[] = L"QuietusTrayIcon";

class Win32TrayIcon final : public TrayIcon {
public:
    explicit Win32TrayIcon(NotifyShell shell)
        : shell_(shell ? std::move(shell)
                       : [](DWORD action, const NOTIFYICONDATAW& record) {
                             return Shell_NotifyIconW(action, const_cast<NOTIFYICONDATAW*>(&record)) != FALSE;
                         }),
          taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
        registerPlainClass(kWindowClass, windowProc);
        // Never shown; a tool window, so that nothing lists it even then.
        CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"QuietusMachine", WS_POPUP, 0, 0, 0, 0, nullptr,
                        nullptr, GetModuleHandleW(nullptr), this);
    }

    ~Win32TrayIcon() override {
        if (wanted_) notify(NIM_DELETE, 0);
        if (window_) DestroyWindow(window_);
    }

    bool add(const TrayIconState& state) override {
        state_ = state;
        wanted_ = true;
        return addToShell();
    }

    bool modify(const TrayIconState& state) override {
        state_ = state;
        return notify(NIM_MODIFY, kEveryPart);
    }

    bool remove() override {
        wanted_ = false;
        return notify(NIM_DELETE, 0);  // the window and the id name the icon; nothing else
    }

    bool notify(const std::string& title, const std::string& text, std::vector<NoticeAction> actions) override {
        // The icon's balloon (a toast on Windows 10 and later), with the program's own icon. It has
        // no buttons: a click on it is reported, and the program offers the actions itself.
        (void)actions;
        if (!wanted_) return false;
        NOTIFYICONDATAW record{};
        record.cbSize = sizeof(record);
        record.hWnd = window_;
        record.uID = kIconId;
        record.uFlags = NIF_INFO;
        record.dwInfoFlags = NIIF_INFO;
        const std::wstring wideTitle = widen(title), wideText = widen(text);
        wideTitle.copy(record.szInfoTitle, std::min<std::size_t>(wideTitle.size(), std::size(record.szInfoTitle) - 1));
        wideText.copy(record.szInfo, std::min<std::size_t>(wideText.size(), std::size(record.szInfo) - 1));
        return shell_(NIM_MODIFY, record);
    }

private:
    // The version is the icon's, so it is said again whenever the icon is added.
    bool addToShell() const {
        if (!notify(NIM_ADD, kEveryPart)) return false;
        NOTIFYICONDATAW record{};
        record.cbSize = sizeof(record);
        record.hWnd = window_;
        record.uID = kIconId;
        record.uVersion = NOTIFYICON_VERSION_4;
        shell_(NIM_SETVERSION, record);  // an older shell keeps to the mouse messages alone
        return true;
    }

    bool notify(DWORD action, UINT parts) const {
        NOTIFYICONDATAW record{};
        record.cbSize = sizeof(record);
        record.hWnd = window_;
        record.uID = kIconId;
        record.uFlags = parts;
        if (parts & NIF_MESSAGE) record.uCallbackMessage = kTrayIconMessage;
        if (parts & NIF_ICON) {
            record.hIcon = programIcon(state_.icon, systemMetric(SM_CXSMICON, dpiOfWindow(window_)));
        }
        if (parts & NIF_TIP) {
            const std::wstring tip = widen(state_.tip);
            tip.copy(record.szTip, std::min<std::size_t>(tip.size(), std::size(record.szTip) - 1));
        }
        return shell_(action, record);
    }

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = windowOwner(hwnd, message, lParam, &Win32TrayIcon::window_);
        if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
        if (message == kTrayIconMessage) {
            // Version 4: the event in the low word, the icon's place on the screen in wParam.
            self->iconMessage(LOWORD(lParam), POINT{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)});
            return 0;
        }
        if (message == self->taskbarCreated_ && self->wanted_) {
            self->addToShell();  // as it last was
        } else if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->window_ = nullptr;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    // The shell's word for what the user did to the icon. Of the mouse only the releases count.
    // Version 4 follows a release with what it means (NIN_SELECT after the left button,
    // WM_CONTEXTMENU after the right) and sends the meaning alone when a key did it; each action
    // counts once, so a meaning that follows its own release is passed over.
    void iconMessage(UINT event, POINT anchor) {
        if (!wanted_) return;
        const UINT released = released_;
        switch (event) {
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
                released_ = 0;
                break;
            case WM_LBUTTONUP:
                released_ = WM_LBUTTONUP;
                clicked(TrayClick::Primary);
                break;
            case WM_RBUTTONUP:
                released_ = WM_RBUTTONUP;
                clicked(TrayClick::Secondary);
                break;
            case NIN_SELECT:
            case NIN_KEYSELECT:
                released_ = 0;
                if (event == NIN_SELECT && released == WM_LBUTTONUP) break;
                keyClicked(TrayClick::Primary, anchor);
                break;
            case WM_CONTEXTMENU:
                released_ = 0;
                if (released != WM_RBUTTONUP) keyClicked(TrayClick::Secondary, anchor);
                break;
            case NIN_BALLOONUSERCLICK:
                noticeClicked();
                break;
            default:
                break;
        }
    }

    // A click from the keyboard: a menu it opens opens at the icon, not wherever the mouse happens
    // to be.
    void keyClicked(TrayClick click, POINT anchor) { clicked(click, ui::ScreenPoint{anchor.x, anchor.y}); }

public:
    // The keyboard goes back to the notification area, where the user was, as the shell's
    // guidelines for icons ask of a menu opened from it and closed with nothing chosen.
    void focusIcon() override {
        if (wanted_) notify(NIM_SETFOCUS, 0);
    }

private:

    NotifyShell shell_;
    UINT taskbarCreated_;
    HWND window_ = nullptr;
    TrayIconState state_;
    bool wanted_ = false;  // added and not removed since: the icon to bring back
    UINT released_ = 0;    // the button last released over the icon, until its meaning follows
};

}  // namespace

std::unique_ptr<TrayIcon> makeTrayIcon(NotifyShell shell) {
    return std::make_unique<Win32TrayIcon>(std::move(shell));
}

}  // namespace qm::win32
