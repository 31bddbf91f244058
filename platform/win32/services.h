// The real Windows services the program uses besides clock, codec and files: session end, the
// tray icon, the shell, the Startup shortcut, the single-instance check, the folder watcher, the
// user's idle time and the process watch.
#pragma once

// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/folder_watcher.h"
#include "platform/idle_source.h"
#include "platform/process_watch.h"
#include "platform/session_end.h"
#include "platform/shell.h"
#include "platform/single_instance.h"
#include "platform/startup_shortcut.h"
#include "platform/tray_icon.h"

namespace qm::win32 {

// The two calls behind a session end; the real ones unless a test stands in for them.
struct SessionCalls {
    std::function<Status()> enablePrivilege;       // enableShutdownPrivilege
    std::function<BOOL(UINT, DWORD)> exitWindows;  // ExitWindowsEx, failing with GetLastError
    std::function<BOOL(BOOL hibernate)> suspend;   // SetSuspendState, failing with GetLastError
    std::function<BOOL()> lockWorkStation;         // LockWorkStation, failing with GetLastError
};
std::unique_ptr<SessionEnd> makeSessionEnd(SessionCalls calls = {});

// What the tray service says to the shell: Shell_NotifyIconW, unless a test listens instead.
// The records name the service's own hidden window, which the shell calls back.
using NotifyShell = std::function<bool(DWORD action, const NOTIFYICONDATAW& record)>;
std::unique_ptr<TrayIcon> makeTrayIcon(NotifyShell shell = {});
// The shell's callback message, the mouse message in its low word. A message of the program's own
// rather than WM_MOUSEMOVE, so that nothing else that reaches the window passes for the icon's.
inline constexpr unsigned kTrayIconMessage = 0x8000 + 0x200;  // WM_APP + 0x200
std::unique_ptr<Shell> makeShell();
std::unique_ptr<StartupShortcut> makeStartupShortcut();
// `name` is the mutex; the program uses kInstanceMutex.
std::unique_ptr<SingleInstance> makeSingleInstance(const std::wstring& name);

// Watches a folder from a thread of its own and reports on the thread that asked.
std::unique_ptr<FolderWatcher> makeFolderWatcher();

// The time since the session's last input (GetLastInputInfo).
std::unique_ptr<IdleSource> makeIdleSource();
// Waits from the thread pool and reports on the thread that asked.
std::unique_ptr<ProcessWatch> makeProcessWatch();

inline constexpr wchar_t kInstanceMutex[] = L"Local\\QuietusMachine";

// Enables SE_SHUTDOWN_NAME for this process; Windows refuses shut-down and restart without it.
Status enableShutdownPrivilege();

// Writes a shortcut file at `linkPath` that starts `target` with `arguments` in `workingFolder`.
Status writeShortcut(const std::wstring& linkPath, const std::wstring& target, const std::wstring& arguments,
                     const std::wstring& workingFolder);

}  // namespace qm::win32
