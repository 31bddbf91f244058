// The idle source of the Linux desktop: the first of logind, X11 and Wayland that answers.
#include "platform/linux/session_idle.h"

namespace qm::linux_desktop {

SessionIdleSource::SessionIdleSource(std::function<void(std::string_view)> chosen)
    : chosen_(std::move(chosen)) {}
SessionIdleSource::~SessionIdleSource() = default;

std::optional<std::chrono::seconds> SessionIdleSource::idleTime() {
    if (source_) return source_->idleTime();
    struct Candidate {
        std::string_view name;
        std::unique_ptr<IdleSource> (*make)();
    };
    static constexpr Candidate kOrder[] = {
        {"logind", makeLogindIdle}, {"X11", makeX11Idle}, {"Wayland", makeWaylandIdle}};
    for (const Candidate& candidate : kOrder) {
        auto source = candidate.make();
        if (!source) continue;
        const auto idle = source->idleTime();
        if (!idle) continue;
        source_ = std::move(source);
        if (chosen_) chosen_(candidate.name);
        return idle;
    }
    return std::nullopt;
}

}  // namespace qm::linux_desktop
