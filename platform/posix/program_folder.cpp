// The program folder on Linux: the folder of the running executable, from /proc/self/exe, and
// where its schedule and documents are.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/program_folder_lookup.h"
#include "platform/schedule_home.h"

namespace qm {

namespace {

std::string executableFolder() {
    std::string exe(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
        if (n < 0) return ".";  // no /proc: the working folder is the best guess left
        if (static_cast<std::size_t>(n) < exe.size()) {
            exe.resize(static_cast<std::size_t>(n));
            break;
        }
        exe.resize(exe.size() * 2);
    }
    // "/opt/qm/quietus" gives "/opt/qm"; an executable in "/" gives "", so paths become "/name".
    return exe.substr(0, exe.rfind('/'));
}

bool isMine(const char* path) {
    struct stat st{};
    return ::stat(path, &st) == 0 && st.st_uid == ::geteuid();
}

// $XDG_CONFIG_HOME/QuietusMachine, else ~/.config/QuietusMachine. Never a folder of another
// user's: root started through sudo may still have the user's HOME, and root's files there would
// lock the user out of their own schedule. Then the account's own home folder counts.
std::string userFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {
        struct stat st{};
        if ((::stat(config, &st) != 0 && errno == ENOENT) || isMine(config))
            return std::string(config) + "/QuietusMachine";
    }
    std::string home;
    if (const char* h = std::getenv("HOME"); h && h[0] == '/' && isMine(h)) {
        home = h;
    } else if (const passwd* account = ::getpwuid(::geteuid()); account && account->pw_dir &&
                                                                  account->pw_dir[0] == '/') {
        home = account->pw_dir;
    }
    return home.empty() ? std::string() : home + "/.config/QuietusMachine";
}

}  // namespace

ProgramFolder runningProgramFolder(std::string_view scheduleName) {
    ProgramFolder found{executableFolder(), '/'};
    found.executable = "quietus";
    struct stat st{};
    const ProgramPlace place{
        .scheduleBeside = ::lstat(found.path(scheduleName).c_str(), &st) == 0,
        .installed = found.folder == "/usr" || found.folder.starts_with("/usr/"),
        .writable = ::access(found.folder.empty() ? "/" : found.folder.c_str(), W_OK) == 0,
        .userFolder = userFolder(),
    };
    if (scheduleHome(place) == ScheduleHome::UserFolder) found.scheduleFolder = place.userFolder;
    // Installed, the read-me and the help page are in the documents of the package:
    // /usr/bin/quietus reads /usr/share/doc/quietusmachine/Help/Help.htm.
    if (place.installed) found.documentFolder = found.folder.substr(0, found.folder.rfind('/')) + "/share/doc/quietusmachine";
    return found;
}

}  // namespace qm
