// The process watch on Windows. Each process is opened for SYNCHRONIZE and waited for by the
// thread pool (RegisterWaitForSingleObject), which posts its end to a message-only window of the
// thread that asked. A name is looked up in a process snapshot among this session's processes,
// in any case and with or without ".exe"; when the last of them ends the snapshot is taken again,
// and one of the name started meanwhile is waited for in turn.
// clang-format off
#include "platform/win32/services.h"  // first: <windows.h>, which the other Windows headers need
// clang-format on

#include <tlhelp32.h>

#include <algorithm>
#include <charconv>
#include <vector>

#include "platform/win32/wide.h"
#include "platform/win32/window_owner.h"

namespace qm::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"QuietusProcessWatch";
constexpr UINT kEndedMessage = WM_APP + 1;  // wParam: the watch's generation, lParam: the process id

std::wstring_view withoutExe(std::wstring_view name) {
    if (name.size() > 4 &&
        CompareStringOrdinal(name.data() + name.size() - 4, 4, L".exe", 4, TRUE) == CSTR_EQUAL)
        name.remove_suffix(4);
    return name;
}

bool sameProgram(std::wstring_view a, std::wstring_view b) {
    a = withoutExe(a);
    b = withoutExe(b);
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// This session's processes of the program `name`, but this one.
std::vector<DWORD> processesNamed(const std::wstring& name) {
    std::vector<DWORD> found;
    DWORD ownSession = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &ownSession);
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        DWORD session = 0;
        if (entry.th32ProcessID != GetCurrentProcessId() && sameProgram(entry.szExeFile, name) &&
            ProcessIdToSessionId(entry.th32ProcessID, &session) && session == ownSession)
            found.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return found;
}

// One process waited for. The pool's callback reads `post`, which lives until the wait is gone.
struct Waiting {
    struct Post {
        HWND window;
        WPARAM generation;
        DWORD process;
    } post;
    HANDLE process = nullptr;
    HANDLE wait = nullptr;

    Waiting(const Waiting&) = delete;
    Waiting& operator=(const Waiting&) = delete;
    explicit Waiting(Post to) : post(to) {}
    ~Waiting() {
        if (wait) UnregisterWaitEx(wait, INVALID_HANDLE_VALUE);  // returns once no callback runs
        if (process) CloseHandle(process);
    }

    bool start() {
        process = OpenProcess(SYNCHRONIZE, FALSE, post.process);
        if (!process || WaitForSingleObject(process, 0) != WAIT_TIMEOUT) return false;
        return RegisterWaitForSingleObject(&wait, process, ended, &post, INFINITE, WT_EXECUTEONLYONCE) !=
               FALSE;
    }

    static void CALLBACK ended(void* context, BOOLEAN) {
        const auto* to = static_cast<const Post*>(context);
        PostMessageW(to->window, kEndedMessage, to->generation, static_cast<LPARAM>(to->process));
    }
};

class Win32ProcessWatch final : public ProcessWatch {
public:
    ~Win32ProcessWatch() override {
        cancel();
        if (window_) DestroyWindow(window_);
    }

    bool watch(const std::string& target, std::function<void()> ended) override {
        cancel();
        if (!window_ && !createWindow()) return false;
        DWORD process = 0;
        const auto [end, error] = std::from_chars(target.data(), target.data() + target.size(), process);
        const bool byId = error == std::errc() && end == target.data() + target.size() && process != 0;
        name_ = byId ? std::wstring() : widen(target);
        if (!waitFor(byId ? std::vector<DWORD>{process} : processesNamed(name_))) return false;
        ended_ = std::move(ended);
        return true;
    }

    void cancel() override {
        ++generation_;  // what the pool posted before is no longer this watch's
        waiting_.clear();
        ended_ = nullptr;
    }

private:
    bool waitFor(const std::vector<DWORD>& processes) {
        for (const DWORD process : processes) {
            auto waiting = std::make_unique<Waiting>(Waiting::Post{window_, generation_, process});
            if (waiting->start()) waiting_.push_back(std::move(waiting));
        }
        return !waiting_.empty();
    }

    void oneEnded(DWORD process) {
        std::erase_if(waiting_, [process](const auto& waiting) { return waiting->post.process == process; });
        if (!waiting_.empty()) return;
        if (!name_.empty() && waitFor(processesNamed(name_))) return;
        const auto ended = std::move(ended_);
        ended_ = nullptr;
        if (ended) ended();
    }

    bool createWindow() {
        return messageWindow(kWindowClass, windowProc, this) != nullptr;
    }

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = windowOwner(hwnd, message, lParam, &Win32ProcessWatch::window_);
        if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
        if (message == kEndedMessage) {
            if (wParam == self->generation_) self->oneEnded(static_cast<DWORD>(lParam));
            return 0;
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->window_ = nullptr;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    WPARAM generation_ = 0;
    std::wstring name_;  // empty when watching one process by its id
    std::function<void()> ended_;
    std::vector<std::unique_ptr<Waiting>> waiting_;
};

}  // namespace

std::unique_ptr<ProcessWatch> makeProcessWatch() {
    return std::make_unique<Win32ProcessWatch>();
}

}  // namespace qm::win32
