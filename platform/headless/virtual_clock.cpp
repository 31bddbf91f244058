// The virtual clock's time text.
#include "platform/headless/virtual_clock.h"

#include <cstdio>

namespace qm::headless {

std::string VirtualClock::timeText(std::chrono::seconds timeOfDay) const {
    const std::chrono::hh_mm_ss t{timeOfDay};
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", static_cast<int>(t.hours().count()),
                  static_cast<int>(t.minutes().count()), static_cast<int>(t.seconds().count()));
    return text;
}

}  // namespace qm::headless
