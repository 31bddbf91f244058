// The exit methods and their stored words.
#include "schedule/exit_method.h"

namespace qm {

std::optional<ExitMethod> methodFromWord(std::string_view word) {
    if (word == kShutdownWord) return ExitMethod::Shutdown;
    if (word == kForcedExitWord) return ExitMethod::ForcedExit;
    if (word == kRestartWord) return ExitMethod::Restart;
    if (word == kLogoffWord) return ExitMethod::Logoff;
    if (word == kSleepWord) return ExitMethod::Sleep;
    if (word == kHibernateWord) return ExitMethod::Hibernate;
    if (word == kLockWord) return ExitMethod::Lock;
    return std::nullopt;
}

std::string_view wordOf(ExitMethod method) {
    switch (method) {
        case ExitMethod::Shutdown: return kShutdownWord;
        case ExitMethod::ForcedExit: return kForcedExitWord;
        case ExitMethod::Restart: return kRestartWord;
        case ExitMethod::Logoff: return kLogoffWord;
        case ExitMethod::Sleep: return kSleepWord;
        case ExitMethod::Hibernate: return kHibernateWord;
        case ExitMethod::Lock: return kLockWord;
    }
    return {};
}

std::string_view optionCaptionOf(ExitMethod method) {
    return method == ExitMethod::Shutdown ? std::string_view("シャットダウン") : wordOf(method);
}

bool endsSession(ExitMethod method) {
    return method != ExitMethod::Sleep && method != ExitMethod::Hibernate && method != ExitMethod::Lock;
}

}  // namespace qm
