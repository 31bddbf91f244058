// The idle trigger: when an inactivity entry comes due. It reads the idle source only when the
// program wakes for it, and tells when it must look next: the earliest moment the shortest idle
// time not yet reached could be reached, so that nothing polls while the user is away.
#pragma once

#include <chrono>
#include <optional>
#include <vector>

#include "platform/clock.h"
#include "platform/idle_source.h"
#include "schedule/next_due.h"

namespace qm {

class IdleTrigger {
public:
    explicit IdleTrigger(IdleSource& source) : source_(source) {}

    struct Look {
        // The entry whose idle time is reached now: the shortest one not reached before since the
        // user's last input. It counts as fired from now on, until the user makes input again.
        const Schedule::IdleEntry* due = nullptr;
        // When to look again; none while there is nothing to wait for.
        std::optional<LocalTime> wake;
        // The desktop tells nothing of the user's input: no entry ever fires.
        bool noSource = false;
    };
    // Reads the idle time once (not at all without entries). With `mayFire` false (a warning is
    // open) nothing fires and there is no wake: the program looks again when the warning closes.
    Look look(const std::vector<Schedule::IdleEntry>& entries, LocalTime now, bool mayFire = true);

    // Whether the user made input since the entry that fired last came due: the warning it opened
    // closes then, as 中止 closes it.
    bool userReturned(LocalTime now);

private:
    IdleSource& source_;
    // The last input before the idle stretch whose entries fired, and the longest idle time that
    // fired in it: only longer ones may fire until the user makes input again.
    std::optional<LocalTime> stretch_;
    std::chrono::minutes reached_{0};
};

}  // namespace qm
