// The folder watcher on Windows. The folder is watched rather than the file, which may be replaced
// by a rename or not be there yet: a thread of the watcher's own waits on ReadDirectoryChangesW
// and posts to a message-only window of the thread that asked, which lets a burst settle for a
// moment and then calls back.
#include <algorithm>
#include <array>
#include <future>
#include <thread>
#include <utility>

#include "platform/win32/services.h"
#include "platform/win32/wide.h"
#include "platform/win32/window_owner.h"

namespace qm::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"QuietusFolderWatcher";
constexpr UINT kChangedMessage = WM_APP + 1;
constexpr UINT_PTR kSettleTimer = 1;
// An editor's save is a burst (a temporary file, renames, writes): one call for it, soon after.
constexpr UINT kSettleMilliseconds = 100;
// Attributes and security too: a file made readable again reads differently.
constexpr DWORD kWhatChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
                               FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_ATTRIBUTES |
                               FILE_NOTIFY_CHANGE_SECURITY;

wchar_t asciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool sameName(std::wstring_view a, std::wstring_view b) {
    return std::ranges::equal(a, b, [](wchar_t x, wchar_t y) { return asciiLower(x) == asciiLower(y); });
}

// One folder watched: its handle, the read outstanding on it and the thread that waits for it.
// Windows lists changes from the first read on, so the watch counts as begun once that is made.
class FolderReader {
public:
    FolderReader(HANDLE folder, std::wstring name, HWND window)
        : folder_(folder), name_(std::move(name)), window_(window) {
        overlapped_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    ~FolderReader() {
        if (thread_.joinable()) {
            SetEvent(stop_);
            thread_.join();
        }
        for (HANDLE handle : {overlapped_.hEvent, stop_, folder_})
            if (handle) CloseHandle(handle);
    }

    // Every read is made, completed and cancelled on the watcher's thread: Wine completes a read
    // on the thread that made it, when that thread next waits.
    bool start() {
        if (!overlapped_.hEvent || !stop_) return false;
        std::promise<bool> reading;
        std::future<bool> started = reading.get_future();
        thread_ = std::thread([this, &reading] {
            const bool ok = read();
            reading.set_value(ok);
            if (ok) run();
        });
        if (started.get()) return true;
        thread_.join();
        return false;
    }

private:
    bool read() {
        ResetEvent(overlapped_.hEvent);
        reading_ = ReadDirectoryChangesW(folder_, buffer_.data(), static_cast<DWORD>(buffer_.size()), FALSE,
                                         kWhatChanges, nullptr, &overlapped_, nullptr) != FALSE;
        return reading_;
    }

    void run() {
        const HANDLE events[] = {stop_, overlapped_.hEvent};
        while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            DWORD bytes = 0;
            const bool done = GetOverlappedResult(folder_, &overlapped_, &bytes, FALSE) != FALSE;
            const DWORD error = done ? ERROR_SUCCESS : GetLastError();
            reading_ = false;
            // Zero bytes, or ERROR_NOTIFY_ENUM_DIR: more changed than the buffer could list.
            // Any other failure (the folder itself removed, say) ends the watch, with a last look.
            if (!done || bytes == 0 || namesTheFile(bytes)) PostMessageW(window_, kChangedMessage, 0, 0);
            if (!done && error != ERROR_NOTIFY_ENUM_DIR) return;
            if (!read()) return;
        }
        // Stopped: the read outstanding writes into buffer_ until it is cancelled and has completed.
        if (reading_) {
            CancelIoEx(folder_, &overlapped_);
            DWORD bytes = 0;
            GetOverlappedResult(folder_, &overlapped_, &bytes, TRUE);
        }
    }

    bool namesTheFile(DWORD bytes) const {
        for (DWORD offset = 0; offset + sizeof(FILE_NOTIFY_INFORMATION) <= bytes;) {
            const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_.data() + offset);
            // Added, removed, modified, or either side of a rename: each concerns the file when it
            // names it. (Windows may give a file's short name; the schedule's name is its own.)
            if (sameName({record->FileName, record->FileNameLength / sizeof(wchar_t)}, name_)) return true;
            if (record->NextEntryOffset == 0) break;
            offset += record->NextEntryOffset;
        }
        return false;
    }

    HANDLE folder_;
    std::wstring name_;
    HWND window_;
    HANDLE stop_ = nullptr;
    OVERLAPPED overlapped_{};
    bool reading_ = false;
    alignas(DWORD) std::array<BYTE, 16 * 1024> buffer_{};
    std::thread thread_;
};

class Win32FolderWatcher final : public FolderWatcher {
public:
    ~Win32FolderWatcher() override {
        reader_.reset();  // first: no more posts
        if (window_) DestroyWindow(window_);
    }

    bool watch(const std::string& folder, const std::string& fileName,
               std::function<void()> changed) override {
        reader_.reset();
        changed_ = std::move(changed);
        if (!window_ && !createWindow()) return false;
        const HANDLE handle =
            CreateFileW(widen(folder).c_str(), FILE_LIST_DIRECTORY,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        auto reader = std::make_unique<FolderReader>(handle, widen(fileName), window_);
        if (!reader->start()) return false;
        reader_ = std::move(reader);
        return true;
    }

    void reportAgain() override {
        if (window_ && !settling_) settling_ = SetTimer(window_, kSettleTimer, kSettleMilliseconds, nullptr) != 0;
    }

private:
    bool createWindow() {
        return messageWindow(kWindowClass, windowProc, this) != nullptr;
    }

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = windowOwner(hwnd, message, lParam, &Win32FolderWatcher::window_);
        if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
        if (message == kChangedMessage) {
            // The first change of a burst starts the wait; the later ones fall into it.
            if (!self->settling_)
                self->settling_ = SetTimer(hwnd, kSettleTimer, kSettleMilliseconds, nullptr) != 0;
            return 0;
        }
        if (message == WM_TIMER && wParam == kSettleTimer) {
            KillTimer(hwnd, kSettleTimer);
            self->settling_ = false;
            // A copy: the call may watch again, which replaces changed_.
            if (const auto changed = self->changed_) changed();
            return 0;
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->window_ = nullptr;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    bool settling_ = false;
    std::function<void()> changed_;
    std::unique_ptr<FolderReader> reader_;
};

}  // namespace

std::unique_ptr<FolderWatcher> makeFolderWatcher() {
    return std::make_unique<Win32FolderWatcher>();
}

}  // namespace qm::win32
