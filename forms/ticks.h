// Timers that follow the clock: after their first tick (100 ms after the window loads, as its
// definition says) they wake when the clock shows the next second, not ten times a second in
// between, so the program sleeps while idle and a clock shown on screen turns with the seconds.
#pragma once

#include <chrono>

#include "platform/clock.h"
#include "platform/ui/form.h"

namespace qm {

// Sets `timer` to tick next when `clock` shows the next second.
inline void tickAtNextSecond(ui::Control& timer, const Clock& clock) {
    timer.tickAt(clock.now() + std::chrono::seconds{1});
}

}  // namespace qm
