// Quietus.exe: the real services, the Win32 back end and the program, then the message loop.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <objbase.h>

#include "app/program.h"
#include "platform/os_services.h"
#include "platform/program_folder_lookup.h"
#include "platform/win32/services.h"
#include "platform/win32/win32_backend.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The shell's link object and ShellExecuteW want COM on this thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    const auto clock = qm::makeSystemClock();
    const auto codec = qm::makeShiftJisCodec();
    const auto files = qm::makeFileSystem();
    const auto session = qm::win32::makeSessionEnd();
    const auto tray = qm::win32::makeTrayIcon();
    const auto shell = qm::win32::makeShell();
    const auto shortcut = qm::win32::makeStartupShortcut();
    const auto instance = qm::win32::makeSingleInstance(qm::win32::kInstanceMutex);
    const auto watcher = qm::win32::makeFolderWatcher();
    qm::Services services{*clock, *codec,    *files,    qm::runningProgramFolder(), *session, *tray,
                          *shell, *shortcut, *instance, *watcher};

    qm::win32::Win32Backend backend;
    qm::ui::Runtime runtime(backend);
    qm::Program program(runtime, services);
    program.start();
    return backend.run();
}
