// quietus: the Linux desktop program. Builds the Qt application, the real services and the Qt back
// end, starts the program and runs the event loop until the program ends. The command line's
// options (app/command_line.h) answer on the terminal instead, those that ask the running program
// too (over the session bus), as does --install-desktop-entry, which adds the program to the
// desktop's application menu; neither needs a display. A first argument with "-" that is none of
// them is refused, unless it is one of Qt's own options.
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "app/command_line.h"
#include "app/program.h"
#include "platform/linux/dbus_control_channel.h"
#include "platform/linux/dbus_session_end.h"
#include "platform/linux/inotify_folder_watcher.h"
#include "platform/linux/lock_file_instance.h"
#include "platform/linux/proc_process_watch.h"
#include "platform/linux/session_idle.h"
#include "platform/linux/xdg_autostart.h"
#include "platform/linux/xdg_menu_entry.h"
#include "platform/os_services.h"
#include "platform/program_folder_lookup.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_trace.h"
#include "platform/qt/qt_tray_icon.h"
#include "schedule/schedule_file.h"

namespace {

inline constexpr std::string_view kDesktopEntryHelp =
    "  --install-desktop-entry\n"
    "                  デスクトップのアプリケーションメニューに登録します。\n";

// The options QGuiApplication and QApplication document as their own: they reach Qt and start
// the tray program (a session manager restarts it with -session).
constexpr std::string_view kQtOptions[] = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qmljsdebugger", "-qwindowgeometry",
    "-qwindowicon", "-qwindowtitle", "-reverse", "-session", "-display", "-geometry", "-style", "-stylesheet",
    "-widgetcount",
};

// The running program's path as the file system spells it, bytes that need not be UTF-8; empty
// when it cannot be read.
std::string executablePath() {
    std::string path(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < path.size()) return path.substr(0, static_cast<std::size_t>(n));
        path.resize(path.size() * 2);
    }
}

std::string installDesktopEntry(int argc, char** argv, const qm::CommandOutput& output) {
    QCoreApplication app(argc, argv);  // no display needed, and no tray program
    const std::string program = executablePath();
    if (!qm::linux_desktop::fitsExec(program))
        return "プログラムのパスをデスクトップエントリーの Exec に書けません (UTF-8 でないか空です): " + program;
    const qm::linux_desktop::MenuEntryFiles files = qm::linux_desktop::installMenuEntry(program);
    for (const QString& file : files.written) output.out(QFile::encodeName(file).toStdString() + "\n");
    if (!files.failed.isEmpty()) return "書き込めませんでした: " + QFile::encodeName(files.failed).toStdString();
    output.out("アプリケーションメニューに登録しました。\n");
    return {};
}

// The schedule file, read and written without Qt: UTF-8 to the terminal.
int commandLine(int argc, char** argv, const std::vector<std::string>& args) {
    const auto clock = qm::makeSystemClock();
    const auto codec = qm::makeShiftJisCodec();
    const auto files = qm::makeFileSystem();
    const qm::BackEndCommand ownCommands[] = {
        {"--install-desktop-entry",
         [&](const qm::CommandOutput& output) { return installDesktopEntry(argc, argv, output); }},
    };
    // Reaches the session bus only when an option asks the running program.
    qm::linux_desktop::DbusControlChannel control;
    const qm::CommandLineNeeds needs{*clock,    *codec,           *files,      qm::runningProgramFolder(qm::kScheduleFileName),
                                     "quietus", kDesktopEntryHelp, ownCommands, &control};
    const auto to = [](std::FILE* stream) {
        return [stream](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); };
    };
    // Written text may wait in the stream's buffer: it has arrived only once flushed.
    const auto outFailed = [] { return std::fflush(stdout) != 0 || std::ferror(stdout) != 0; };
    return qm::runCommandLine(args, needs, {to(stdout), to(stderr), outFailed});
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::vector<std::string> args(argv + 1, argv + argc); qm::isCommandLine(args, kQtOptions))
        return commandLine(argc, argv, args);

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
    qm::linux_desktop::DbusSessionEnd session;
    qm::qt::QtTrayIcon tray;
    qm::qt::QtShell shell;
    qm::linux_desktop::XdgAutostart shortcut;
    qm::linux_desktop::LockFileInstance instance;
    qm::linux_desktop::InotifyFolderWatcher watcher;
    qm::linux_desktop::DbusControlChannel control;
    qm::linux_desktop::SessionIdleSource idle([](std::string_view source) {
        qm::qt::trace(QStringLiteral("idle source %1").arg(QLatin1StringView(source)));
    });
    qm::linux_desktop::ProcProcessWatch processes;
    qm::Services services{*clock, *codec,   *files,   folder, session, tray,     shell,
                          shortcut, instance, watcher, control, idle,   processes};

    qm::Program program(runtime, services);
    program.start();
    return backend.exec();
}
