// Timers that follow the clock: after their first tick (100 ms after the window loads, as its
// definition says) they wake when the clock shows the next second, not ten times a second in
// between, so the program sleeps while idle and still sees a due second as it starts.
#pragma once

#include <algorithm>

#include "platform/clock.h"
#include "platform/ui/form.h"

namespace qm {

// Sets `timer` to tick next when `clock` shows the next second. A timer that woke a little
// early finds the old second still showing and is set again for the few milliseconds left.
inline void tickAtNextSecond(ui::Control& timer, const Clock& clock) {
    timer.setInterval(static_cast<int>(std::clamp<long long>(clock.untilNextSecond().count(), 1, 1000)));
}

}  // namespace qm
