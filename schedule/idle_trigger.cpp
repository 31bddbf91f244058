// The idle trigger: which inactivity entry is due, and when to look again.
#include "schedule/idle_trigger.h"

#include <algorithm>

namespace qm {

namespace {

using namespace std::chrono;

// The last input worked out from two readings of whole seconds may differ by one second.
constexpr seconds kReadingSlack{1};

}  // namespace

bool IdleTrigger::userReturned(LocalTime now) {
    if (!stretch_) return false;
    const std::optional<seconds> idle = source_.idleTime();
    return idle && now - *idle > *stretch_ + kReadingSlack;
}

IdleTrigger::Look IdleTrigger::look(const std::vector<Schedule::IdleEntry>& entries, LocalTime now, bool mayFire) {
    if (entries.empty()) return {};
    const std::optional<seconds> idle = source_.idleTime();
    if (!idle) return {.due = nullptr, .wake = std::nullopt, .noSource = true};
    const LocalTime lastInput = now - *idle;
    // Input since the stretch whose entries fired: every entry is armed again.
    if (stretch_ && lastInput > *stretch_ + kReadingSlack) {
        stretch_.reset();
        reached_ = minutes{0};
    }
    const auto unreached = [&]() -> const Schedule::IdleEntry* {
        const Schedule::IdleEntry* shortest = nullptr;
        for (const Schedule::IdleEntry& e : entries)
            if (e.idle > reached_ && (!shortest || e.idle < shortest->idle)) shortest = &e;
        return shortest;
    };
    Look look;
    const Schedule::IdleEntry* next = unreached();
    if (next && *idle >= next->idle) {
        if (!mayFire) return {};
        look.due = next;
        stretch_ = lastInput;
        reached_ = next->idle;
        next = unreached();
    }
    if (next) {
        look.wake = std::max(now + seconds{1}, lastInput + next->idle);
    } else {
        // All fired in this stretch: look once per shortest idle time whether the user came back.
        minutes shortest = entries.front().idle;
        for (const Schedule::IdleEntry& e : entries) shortest = std::min(shortest, e.idle);
        look.wake = now + shortest;
    }
    return look;
}

}  // namespace qm
