// The program folder on Linux: the folder of the running executable, from /proc/self/exe.
#include <unistd.h>

#include <string>

#include "platform/program_folder_lookup.h"

namespace qm {

ProgramFolder runningProgramFolder() {
    std::string exe(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
        if (n < 0) return {".", '/'};  // no /proc: the working folder is the best guess left
        if (static_cast<std::size_t>(n) < exe.size()) {
            exe.resize(static_cast<std::size_t>(n));
            break;
        }
        exe.resize(exe.size() * 2);
    }
    // "/opt/qm/quietus" gives "/opt/qm"; an executable in "/" gives "", so paths become "/name".
    return {exe.substr(0, exe.rfind('/')), '/'};
}

}  // namespace qm
