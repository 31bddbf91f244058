// A clock that stands still until a test moves it.
#pragma once

#include <chrono>
#include <string>

#include "platform/clock.h"

namespace qm::test {

class FakeClock final : public Clock {
public:
    explicit FakeClock(LocalTime start = {}) : now_(start) {}

    LocalTime now() const override { return now_; }
    std::string timeText(std::chrono::seconds timeOfDay) const override {
        const std::chrono::hh_mm_ss hms{timeOfDay};
        const auto two = [](long v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
        return std::to_string(hms.hours().count()) + ":" + two(hms.minutes().count()) + ":" +
               two(hms.seconds().count());
    }

    void set(LocalTime t) { now_ = t; }
    void advance(std::chrono::seconds by) { now_ += by; }

private:
    LocalTime now_;
};

// 1998-12-01 10:00:20 is at(1998y / 12 / 1, 10, 0, 20).
inline LocalTime at(std::chrono::year_month_day date, int h, int m, int s = 0) {
    return std::chrono::local_days{date} + std::chrono::hours{h} + std::chrono::minutes{m} +
           std::chrono::seconds{s};
}

}  // namespace qm::test
