// The program folder: where the executable lives, and how paths inside it are written.
#pragma once

#include <string>
#include <string_view>

namespace qm {

struct ProgramFolder {
    std::string folder;    // no trailing separator
    char separator = '/';  // '\\' on Windows
    // The program file that the Startup shortcut starts: a fixed name, not the running file's.
    std::string executable = "Quietus.exe";

    // path("Help/Help.htm") gives folder + separator + "Help" + separator + "Help.htm".
    std::string path(std::string_view relative) const {
        std::string out = folder;
        out += separator;
        for (char c : relative) out += (c == '/' ? separator : c);
        return out;
    }
};

}  // namespace qm
