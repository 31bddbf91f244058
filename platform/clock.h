// The clock service: the current local date and time to the second, and the system's time text.
#pragma once

#include <chrono>
#include <string>

namespace qm {

// Local wall-clock time, whole seconds; its date is floor<days>(t).
using LocalTime = std::chrono::local_seconds;

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
    // How long until now() shows the next second, so that a timer can wake just then and not
    // every few milliseconds in between. A clock that cannot tell says a whole second.
    virtual std::chrono::milliseconds untilNextSecond() const { return std::chrono::seconds{1}; }
    // The time of day as the system writes it (hours, minutes and seconds, e.g. "14:30:25").
    virtual std::string timeText(std::chrono::seconds timeOfDay) const = 0;
};

}  // namespace qm
