// Looking methods up in their table.
#include "schedule/exit_method.h"

namespace qm {

namespace {

// The table is indexed by the method.
constexpr bool inMethodOrder() {
    for (std::size_t i = 0; i < kExitMethods.size(); ++i)
        if (static_cast<std::size_t>(kExitMethods[i].method) != i) return false;
    return true;
}
static_assert(inMethodOrder(), "kExitMethods lists the methods in the order ExitMethod declares them");

}  // namespace

const ExitMethodInfo& infoOf(ExitMethod method) {
    return kExitMethods[static_cast<std::size_t>(method)];
}

std::optional<ExitMethod> methodFromWord(std::string_view word) {
    for (const ExitMethodInfo& info : kExitMethods)
        if (word == info.word) return info.method;
    return std::nullopt;
}

std::optional<ExitMethod> methodNamed(std::string_view commandName) {
    for (const ExitMethodInfo& info : kExitMethods)
        if (commandName == info.commandName) return info.method;
    return std::nullopt;
}

}  // namespace qm
