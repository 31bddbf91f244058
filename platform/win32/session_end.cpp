// Ending the session: shut-down, forced exit and restart need the shutdown privilege enabled
// first; log off needs none. Sleep and hibernation need it too and leave the session running, as
// does locking the screen. A refusal comes back with Windows' reason.
#include <windows.h>

#include "platform/win32/services.h"
#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

Status lastError() {
    return Status::failure(systemMessage(GetLastError()));
}

UINT exitFlags(ExitMethod method) {
    switch (method) {
        case ExitMethod::Shutdown:
            return EWX_SHUTDOWN;
        case ExitMethod::ForcedExit:
            return EWX_SHUTDOWN | EWX_FORCE;
        case ExitMethod::Restart:
            return EWX_REBOOT;
        case ExitMethod::Logoff:
        case ExitMethod::Sleep:
        case ExitMethod::Hibernate:
        case ExitMethod::Lock:
            break;
    }
    return EWX_LOGOFF;
}

// SetSuspendState lives in powrprof.dll, which the program does not link: found when needed, so
// Quietus.exe imports no more than it did.
BOOL setSuspendState(BOOL hibernate) {
    using Fn = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);
    HMODULE powrprof = LoadLibraryW(L"powrprof.dll");
    if (!powrprof) return FALSE;
    const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(powrprof, "SetSuspendState")));
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

    Status end(ExitMethod method) override {
        if (method == ExitMethod::Lock) return calls_.lockWorkStation() ? Status::success() : lastError();
        // All else is refused without the privilege; log off needs none.
        if (method != ExitMethod::Logoff) {
            if (Status privilege = calls_.enablePrivilege(); !privilege.ok) return privilege;
        }
        if (method == ExitMethod::Sleep || method == ExitMethod::Hibernate) {
            return calls_.suspend(method == ExitMethod::Hibernate) ? Status::success() : lastError();
        }
        if (!calls_.exitWindows(exitFlags(method), 0)) return lastError();
        return Status::success();
    }

private:
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
