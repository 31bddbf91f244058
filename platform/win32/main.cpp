// Quietus.exe: the real services, the Win32 back end and the program, then the message loop; or,
// given the command line's options (app/command_line.h), their answer and no window at all. Any
// first argument beginning with "-" is the command line's: an unknown one is refused at once.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <objbase.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/program.h"
#include "platform/os_services.h"
#include "platform/program_folder_lookup.h"
#include "platform/win32/console.h"
#include "platform/win32/control_channel.h"
#include "platform/win32/services.h"
#include "platform/win32/win32_backend.h"
#include "schedule/schedule_file.h"

namespace {

// Quietus.exe is a window program: an interactive command prompt does not wait for it.
inline constexpr std::string_view kWaitHelp =
    "\n  コマンドプロンプトでは、start /wait を付けると終わるまで待ちます (例: start /wait Quietus.exe --list)。\n";

int commandLine(const std::vector<std::string>& args) {
    const qm::win32::ParentConsole console;
    const auto clock = qm::makeSystemClock();
    const auto codec = qm::makeShiftJisCodec();
    const auto files = qm::makeFileSystem();
    // Its answer comes back to a message-only window of its own, made for each request.
    const auto control = qm::win32::makeControlChannel();
    const qm::CommandLineNeeds needs{*clock,        *codec,    *files, qm::runningProgramFolder(qm::kScheduleFileName),
                                     "Quietus.exe", kWaitHelp, {},     control.get()};
    return qm::runCommandLine(args, needs,
                              {[&](std::string_view text) { console.out(text); },
                               [&](std::string_view text) { console.err(text); },
                               [&] { return console.outFailed(); }});
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (const auto args = qm::win32::commandLineArguments(); qm::isCommandLine(args)) return commandLine(args);

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
    const auto control = qm::win32::makeControlChannel();
    const auto idle = qm::win32::makeIdleSource();
    const auto processes = qm::win32::makeProcessWatch();
    qm::Services services{*clock, *codec,    *files,    qm::runningProgramFolder(qm::kScheduleFileName), *session, *tray,
                          *shell, *shortcut, *instance, *watcher, *control, *idle, *processes};

    qm::win32::Win32Backend backend;
    qm::ui::Runtime runtime(backend);
    qm::Program program(runtime, services);
    program.start();
    return backend.run();
}
