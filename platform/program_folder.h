// The program folder: where the executable lives, where its schedule and documents are, and how
// paths inside them are written.
#pragma once

#include <string>
#include <string_view>

namespace qm {

struct ProgramFolder {
    std::string folder;    // no trailing separator
    char separator = '/';  // '\\' on Windows
    // The program file that the Startup shortcut starts: a fixed name, not the running file's.
    std::string executable = "Quietus.exe";
    // The folder of the schedule file (platform/schedule_home.h); empty: the program folder.
    std::string scheduleFolder{};
    // The folder of the read-me and the help page; empty: the program folder.
    std::string documentFolder{};

    // path("Help/Help.htm") gives folder + separator + "Help" + separator + "Help.htm".
    std::string path(std::string_view relative) const { return join(folder, relative); }
    std::string schedulePath(std::string_view name) const { return join(scheduleIn(), name); }
    std::string documentPath(std::string_view relative) const {
        return join(documentFolder.empty() ? folder : documentFolder, relative);
    }
    const std::string& scheduleIn() const { return scheduleFolder.empty() ? folder : scheduleFolder; }

private:
    std::string join(const std::string& base, std::string_view relative) const {
        std::string out = base;
        out += separator;
        for (char c : relative) out += (c == '/' ? separator : c);
        return out;
    }
};

}  // namespace qm
