// WM_COPYDATA between the running program's message-only window and the asking process's.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include "platform/win32/control_channel.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/wide.h"
#include "platform/win32/window_owner.h"

namespace qm::win32 {
namespace {

// What the data is, in COPYDATASTRUCT's dwData: nothing else that reaches the windows passes for it.
constexpr ULONG_PTR kRequest = 0x514D5251;  // "QMRQ"
constexpr ULONG_PTR kAnswer = 0x514D414E;   // "QMAN"
constexpr UINT kTimeoutMs = 5000;
constexpr wchar_t kAnswerWindowClass[] = L"QuietusMachineControlAnswer";

// The SID of the user a process runs as, as bytes; empty when it cannot be read.
std::vector<BYTE> userOf(DWORD processId) {
    std::vector<BYTE> sid;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return sid;
    HANDLE token = nullptr;
    if (OpenProcessToken(process, TOKEN_QUERY, &token)) {
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<BYTE> buffer(size);
        if (size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
            const PSID user = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
            const auto* bytes = static_cast<const BYTE*>(user);
            sid.assign(bytes, bytes + GetLengthSid(user));
        }
        CloseHandle(token);
    }
    CloseHandle(process);
    return sid;
}

// True when `window` belongs to a process of this process's user in this process's session.
bool ofThisUserAndSession(HWND window) {
    DWORD processId = 0, session = 0, ownSession = 0;
    if (!window || !GetWindowThreadProcessId(window, &processId) || !processId) return false;
    if (!ProcessIdToSessionId(processId, &session) || !ProcessIdToSessionId(GetCurrentProcessId(), &ownSession) ||
        session != ownSession)
        return false;
    const std::vector<BYTE> user = userOf(processId);
    return !user.empty() && user == userOf(GetCurrentProcessId());
}

// The text a WM_COPYDATA of `kind` carries; none when it is another kind of data.
std::optional<std::string> textOf(LPARAM lParam, ULONG_PTR kind) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data || data->dwData != kind || data->cbData % sizeof(wchar_t) != 0) return std::nullopt;
    return narrow(std::wstring_view(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t)));
}

// Sends `text` as WM_COPYDATA of `kind` from `from` to `to`; true when `to` took it.
bool sendText(HWND to, HWND from, ULONG_PTR kind, const std::string& text) {
    std::wstring wide = widen(text);
    COPYDATASTRUCT data{kind, static_cast<DWORD>(wide.size() * sizeof(wchar_t)), wide.data()};
    DWORD_PTR taken = FALSE;
    // Not SMTO_BLOCK: the asking thread takes the answer while it waits.
    return SendMessageTimeoutW(to, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&data),
                               SMTO_ABORTIFHUNG, kTimeoutMs, &taken) &&
           taken == TRUE;
}

// The asking side's window for one request: it keeps the answer of the window it asked.
struct AnswerWindow {
    HWND window = nullptr;
    HWND asked = nullptr;
    std::optional<std::string> answer;

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = windowOwner(hwnd, message, lParam, &AnswerWindow::window);
        if (self && message == WM_COPYDATA && reinterpret_cast<HWND>(wParam) == self->asked) {
            self->answer = textOf(lParam, kAnswer);
            return self->answer ? TRUE : FALSE;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
};

class CopyDataChannel final : public ControlChannel {
public:
    ~CopyDataChannel() override {
        if (window_) DestroyWindow(window_);
    }

    bool listen(Handler handler) override {
        if (window_) return false;
        handler_ = std::move(handler);
        return messageWindow(kControlWindowClass, windowProc, this) != nullptr;
    }

    std::optional<std::string> send(const std::string& request) override {
        AnswerWindow own;
        if (!messageWindow(kAnswerWindowClass, AnswerWindow::windowProc, &own)) return std::nullopt;
        HWND program = nullptr;
        do program = FindWindowExW(HWND_MESSAGE, program, kControlWindowClass, nullptr);
        while (program && !ofThisUserAndSession(program));
        own.asked = program;
        const bool taken = program && sendText(program, own.window, kRequest, request);
        DestroyWindow(own.window);
        return taken ? own.answer : std::nullopt;
    }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = windowOwner(hwnd, message, lParam, &CopyDataChannel::window_);
        if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
        if (message == WM_COPYDATA) return self->request(reinterpret_cast<HWND>(wParam), lParam) ? TRUE : FALSE;
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->window_ = nullptr;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    // Runs a request from `sender`'s window and sends the answer back to it; false when refused.
    bool request(HWND sender, LPARAM lParam) const {
        const std::optional<std::string> text = textOf(lParam, kRequest);
        if (!text || !handler_ || !ofThisUserAndSession(sender)) return false;
        const Handler handler = handler_;  // the request may end the program's listening
        return sendText(sender, window_, kAnswer, handler(*text));
    }

    Handler handler_;
    HWND window_ = nullptr;
};

}  // namespace

std::unique_ptr<ControlChannel> makeControlChannel() { return std::make_unique<CopyDataChannel>(); }

}  // namespace qm::win32
