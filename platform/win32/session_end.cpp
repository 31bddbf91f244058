// Ending the session: shut-down, forced exit and restart need the shutdown privilege enabled
// first; log off needs none. Sleep and hibernation need it too and leave the session running, as
// does locking the screen. A refusal comes back with Windows' reason.
#include <windows.h>

#include "platform/win32/module_function.h"
#include "platform/win32/services.h"
#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

Status lastError() {
    return Status::failure(systemMessage(GetLastError()));
}

// SetSuspendState lives in powrprof.dll, which the program does not link: found when needed, so
// Quietus.exe imports no more than it did.
BOOL setSuspendState(BOOL hibernate) {
    using Fn = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);
    HMODULE powrprof = LoadLibraryW(L"powrprof.dll");
    if (!powrprof) return FALSE;
    const auto fn = moduleFunction<Fn>(powrprof, "SetSuspendState");
    const BOOL done = fn ? fn(hibernate ? TRUE : FALSE, FALSE, FALSE) : FALSE;
    if (!fn) SetLastError(ERROR_PROC_NOT_FOUND);
    return done;
}

class Win32SessionEnd final : public SessionEnd {
public:
    explicit Win32SessionEnd(SessionCalls calls) : calls_(std::move(calls)) {
        if (!calls_.enablePrivilege) calls_.enablePrivilege = enableShutdownPrivilege;
        if (!calls_.exitWindows)
            calls_.exitWindows = [](UINT flags, DWORD reason) { return ExitWindowsEx(flags, reason); };
        if (!calls_.suspend) calls_.suspend = setSuspendState;
        if (!calls_.lockWorkStation) calls_.lockWorkStation = [] { return LockWorkStation(); };
    }

    Status end(SessionRequest request) override {
        switch (request) {
            case SessionRequest::LockScreen:
                return calls_.lockWorkStation() ? Status::success() : lastError();
            case SessionRequest::LogOff:  // needs no privilege
                return exitWindows(EWX_LOGOFF);
            case SessionRequest::PowerOff:
                return privileged([&] { return exitWindows(EWX_SHUTDOWN); });
            case SessionRequest::ForcedPowerOff:
                return privileged([&] { return exitWindows(EWX_SHUTDOWN | EWX_FORCE); });
            case SessionRequest::Reboot:
                return privileged([&] { return exitWindows(EWX_REBOOT); });
            case SessionRequest::Suspend:
            case SessionRequest::Hibernate:
                return privileged([&] {
                    return calls_.suspend(request == SessionRequest::Hibernate) ? Status::success() : lastError();
                });
        }
        return Status::failure("no way to end the session is known for this request");
    }

private:
    Status exitWindows(UINT flags) { return calls_.exitWindows(flags, 0) ? Status::success() : lastError(); }
    // All but log off and lock are refused without the shutdown privilege.
    template <typename Call>
    Status privileged(Call call) {
        if (Status privilege = calls_.enablePrivilege(); !privilege.ok) return privilege;
        return call();
    }

    SessionCalls calls_;
};

}  // namespace

Status enableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return lastError();
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    Status status = Status::success();
    if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
        status = lastError();
    } else if (!AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr)) {
        status = lastError();
    } else if (GetLastError() == ERROR_NOT_ALL_ASSIGNED) {
        // The call succeeds even when the account does not hold the privilege; only this says so.
        status = Status::failure(systemMessage(ERROR_NOT_ALL_ASSIGNED));
    }
    CloseHandle(token);
    return status;
}

std::unique_ptr<SessionEnd> makeSessionEnd(SessionCalls calls) {
    return std::make_unique<Win32SessionEnd>(std::move(calls));
}

}  // namespace qm::win32
