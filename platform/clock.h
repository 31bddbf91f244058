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
    // The second the system's real-time clock shows now, read precisely: the same clock a timer
    // set for a moment (ui::Control::tickAt) waits on, so a timer that wakes as a second starts
    // finds that second showing, never the one before.
    virtual LocalTime now() const = 0;
    // The time of day as the system writes it (hours, minutes and seconds, e.g. "14:30:25").
    virtual std::string timeText(std::chrono::seconds timeOfDay) const = 0;
};

}  // namespace qm
