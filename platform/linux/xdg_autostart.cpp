// Writing the XDG autostart entry.
#include "platform/linux/xdg_autostart.h"
#include "platform/linux/xdg_menu_entry.h"

#include <QDir>
#include <QFile>
#include <cstdlib>

#include "platform/os_services.h"

namespace qm::linux_desktop {

namespace {

// One argument of Exec, in the double quotes of its quoting rule.
std::string quotedArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';  // a literal percent sign is written twice
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace

std::string execValue(const std::string& path) {
    // GLib looks for the program named first before it turns "%%" back into "%", so a path with
    // a percent sign cannot come first: a shell that starts it comes first instead, and the path
    // follows as an argument, which every desktop expands alike.
    const std::string command = path.find('%') == std::string::npos
                                    ? quotedArgument(path)
                                    : "/bin/sh -c " + quotedArgument("exec \"$0\"") + " " + quotedArgument(path);
    // Then the escapes of every string value on top of it.
    std::string out;
    for (char c : command) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string desktopEntry(const std::string& name, const std::string& programPath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           name +
           "\n"
           "Exec=" +
           execValue(programPath) +
           "\n"
           "Terminal=false\n";
}

std::string autostartFolder() {
    // Paths stay bytes as the system gives them (a folder's name need not be UTF-8), never
    // through a QString, which would turn such a name into another one.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/autostart";
    const char* home = std::getenv("HOME");
    const std::string homeFolder = home && home[0] == '/' ? home : QFile::encodeName(QDir::homePath()).toStdString();
    return homeFolder + "/.config/autostart";
}

Status XdgAutostart::create(const std::string& name, const std::string& program, const std::string&) {
    // A desktop entry is UTF-8: a program whose path is not cannot be started from one, and an
    // entry the desktop would pass over is not written.
    if (!fitsExec(program)) return Status::failure("the program's path is not UTF-8: " + program);
    // Written as the schedule is, in one step through a temporary file.
    const auto files = makeFileSystem();
    const std::string folder = autostartFolder();
    if (Status made = files->makeFolder(folder); !made.ok) return made;
    return files->replaceAll(folder + "/" + name + ".desktop", desktopEntry(name, program));
}

}  // namespace qm::linux_desktop
