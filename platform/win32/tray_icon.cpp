// The notification-area icon. The shell's messages arrive at the window named in the record,
// which this service subclasses: mouse messages go to the sink, and when Explorer restarts
// ("TaskbarCreated") every icon of that window is added again, so the program never runs
// unreachable.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <commctrl.h>
#include <shellapi.h>

#include <map>
#include <utility>

#include "platform/win32/dpi.h"
#include "platform/win32/icons.h"
#include "platform/win32/services.h"
#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

constexpr UINT kIconMessage = kTrayIconMessage;
constexpr UINT_PTR kSubclassId = 0x7172;

class Win32TrayIcon final : public TrayIcon {
public:
    explicit Win32TrayIcon(NotifyShell shell)
        : shell_(shell ? std::move(shell)
                       : [](DWORD action, const NOTIFYICONDATAW& record) {
                             return Shell_NotifyIconW(action, const_cast<NOTIFYICONDATAW*>(&record)) != FALSE;
                         }),
          taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {}
    ~Win32TrayIcon() override {
        for (auto& [key, data] : icons_) {
            notify(NIM_DELETE, data);
            RemoveWindowSubclass(reinterpret_cast<HWND>(key.first), subclassProc, kSubclassId);
        }
    }

    bool add(const TrayIconData& data) override {
        watch(data);
        return notify(NIM_ADD, data);
    }

    bool modify(const TrayIconData& data) override {
        watch(data);
        return notify(NIM_MODIFY, data);
    }

    bool remove(const TrayIconData& data) override {
        const bool done = notify(NIM_DELETE, data);
        icons_.erase({data.window, data.id});
        bool more = false;
        for (const auto& [key, kept] : icons_) more = more || key.first == data.window;
        if (!more) RemoveWindowSubclass(reinterpret_cast<HWND>(data.window), subclassProc, kSubclassId);
        return done;
    }

private:
    // Remembers the record for re-adding, and listens to its window.
    void watch(const TrayIconData& data) {
        icons_[{data.window, data.id}] = data;
        SetWindowSubclass(reinterpret_cast<HWND>(data.window), subclassProc, kSubclassId,
                          reinterpret_cast<DWORD_PTR>(this));
    }

    bool notify(DWORD action, const TrayIconData& data) const {
        NOTIFYICONDATAW record{};
        record.cbSize = sizeof(record);
        record.hWnd = reinterpret_cast<HWND>(data.window);
        record.uID = data.id;
        record.uFlags = data.flags & (NIF_MESSAGE | NIF_ICON | NIF_TIP);
        if (data.flags & NIF_MESSAGE) record.uCallbackMessage = kIconMessage;
        if (data.flags & NIF_ICON) {
            record.hIcon = programIcon(data.icon, systemMetric(SM_CXSMICON, dpiOfWindow(record.hWnd)));
        }
        if (data.flags & NIF_TIP) {
            const std::wstring tip = widen(data.tip);
            tip.copy(record.szTip, std::min<std::size_t>(tip.size(), std::size(record.szTip) - 1));
        }
        return shell_(action, record);
    }

    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data) {
        auto* self = reinterpret_cast<Win32TrayIcon*>(data);
        if (message == kIconMessage) {
            // The low word is the mouse message: 0x0202 left button up, 0x0205 right button up...
            self->deliver(reinterpret_cast<std::uintptr_t>(hwnd), LOWORD(lParam));
            return 0;
        }
        if (message == self->taskbarCreated_) {
            for (const auto& [key, record] : self->icons_) {
                if (key.first == reinterpret_cast<std::uintptr_t>(hwnd)) self->notify(NIM_ADD, record);
            }
        } else if (message == WM_NCDESTROY) {
            RemoveWindowSubclass(hwnd, subclassProc, kSubclassId);
        }
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }

    NotifyShell shell_;
    UINT taskbarCreated_;
    std::map<std::pair<std::uintptr_t, unsigned>, TrayIconData> icons_;
};

}  // namespace

std::unique_ptr<TrayIcon> makeTrayIcon(NotifyShell shell) {
    return std::make_unique<Win32TrayIcon>(std::move(shell));
}

}  // namespace qm::win32
