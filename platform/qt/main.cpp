// quietus: the Linux desktop program. Builds the Qt application, the real services and the Qt back
// end, starts the program and runs the event loop until the program ends. The command line's
// options (app/command_line.h) answer on the terminal instead, as does --install-desktop-entry,
// which adds the program to the desktop's application menu; neither needs a display.
#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/program.h"
#include "platform/os_services.h"
#include "platform/program_folder_lookup.h"
#include "platform/qt/dbus_session_end.h"
#include "platform/qt/lock_file_instance.h"
#include "platform/qt/qt_folder_watcher.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_tray_icon.h"
#include "platform/qt/xdg_autostart.h"
#include "platform/qt/xdg_menu_entry.h"
#include "schedule/schedule_file.h"

namespace {

inline constexpr std::string_view kDesktopEntryHelp =
    "  --install-desktop-entry\n"
    "                  デスクトップのアプリケーションメニューに登録します。\n";

// The schedule file, read and written without Qt: UTF-8 to the terminal.
int commandLine(const std::vector<std::string>& args) {
    const auto clock = qm::makeSystemClock();
    const auto codec = qm::makeShiftJisCodec();
    const auto files = qm::makeFileSystem();
    const qm::CommandLineNeeds needs{
        *clock, *codec, *files, qm::runningProgramFolder(qm::kScheduleFileName), "quietus", kDesktopEntryHelp};
    const auto to = [](std::FILE* stream) {
        return [stream](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); };
    };
    return qm::runCommandLine(args, needs, {to(stdout), to(stderr)});
}

int installDesktopEntry(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // no display needed, and no tray program
    const qm::qt::MenuEntryFiles files = qm::qt::installMenuEntry(QCoreApplication::applicationFilePath());
    for (const QString& file : files.written) std::printf("%s\n", qPrintable(file));
    if (!files.failed.isEmpty()) {
        std::fprintf(stderr, "書き込めませんでした: %s\n", qPrintable(files.failed));
        return 1;
    }
    std::printf("アプリケーションメニューに登録しました。\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::vector<std::string> args(argv + 1, argv + argc); qm::isCommandLine(args)) return commandLine(args);
    if (argc == 2 && std::string_view(argv[1]) == "--install-desktop-entry")
        return installDesktopEntry(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuietusMachine"));
    // The program lives in the tray: closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    qm::qt::QtBackend backend;
    qm::ui::Runtime runtime(backend);
    backend.attach(runtime);

    const qm::ProgramFolder folder = qm::runningProgramFolder(qm::kScheduleFileName);
    auto clock = qm::makeSystemClock();
    auto codec = qm::makeShiftJisCodec();
    auto files = qm::makeFileSystem();
    qm::qt::DbusSessionEnd session;
    qm::qt::QtTrayIcon tray;
    qm::qt::QtShell shell;
    qm::qt::XdgAutostart shortcut(folder.folder);
    qm::qt::LockFileInstance instance;
    qm::qt::QtFolderWatcher watcher;
    qm::Services services{*clock, *codec, *files, folder, session, tray, shell, shortcut, instance, watcher};

    qm::Program program(runtime, services);
    program.start();
    return backend.exec();
}
