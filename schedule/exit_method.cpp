// The four exit methods: their stored words and the flags of the session-end request.
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

unsigned exitFlags(ExitMethod method) {
    // EWX_LOGOFF 0, EWX_SHUTDOWN 1, EWX_REBOOT 2, EWX_FORCE 4.
    switch (method) {
        case ExitMethod::Shutdown: return 1;
        case ExitMethod::ForcedExit: return 1 | 4;
        case ExitMethod::Restart: return 2;
        case ExitMethod::Logoff: return 0;
    }
    return 0;
}

}  // namespace qm
