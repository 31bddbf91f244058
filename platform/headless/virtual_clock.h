// A clock that moves only when told: the headless program's time, to the millisecond, so that
// timers and the seconds the windows show stay in step.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "platform/clock.h"

namespace qm::headless {

using VirtualTime = std::chrono::local_time<std::chrono::milliseconds>;

class VirtualClock final : public Clock {
public:
    explicit VirtualClock(VirtualTime start) : now_(start) {}

    LocalTime now() const override { return std::chrono::floor<std::chrono::seconds>(now_); }
    // "H:mm:ss", the hour without a leading zero, as a Japanese system writes the time.
    std::string timeText(std::chrono::seconds timeOfDay) const override;

    VirtualTime exact() const { return now_; }
    void advance(std::chrono::milliseconds by) { now_ += by; }
    // Sets the clock as a user would (forwards or backwards). Timers that wait for a moment wake,
    // as the real-time clock's do when it is set; timers with an interval are not affected.
    void set(VirtualTime to) {
        now_ = to;
        if (onSet) onSet();
    }
    std::function<void()> onSet;

private:
    VirtualTime now_;
};

}  // namespace qm::headless
