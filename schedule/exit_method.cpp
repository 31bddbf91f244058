// The four exit methods and their stored words.
#include "schedule/exit_method.h"

namespace qm {

std::optional<ExitMethod> methodFromWord(std::string_view word) {
    if (word == kShutdownWord) return ExitMethod::Shutdown;
    if (word == kForcedExitWord) return ExitMethod::ForcedExit;
    if (word == kRestartWord) return ExitMethod::Restart;
    if (word == kLogoffWord) return ExitMethod::Logoff;
    return std::nullopt;
}

std::string_view wordOf(ExitMethod method) {
    switch (method) {
        case ExitMethod::Shutdown: return kShutdownWord;
        case ExitMethod::ForcedExit: return kForcedExitWord;
        case ExitMethod::Restart: return kRestartWord;
        case ExitMethod::Logoff: return kLogoffWord;
    }
    return {};
}

}  // namespace qm
