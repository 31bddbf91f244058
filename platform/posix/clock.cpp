// The system clock on POSIX systems: the precise real-time clock in local time, time text as
// "H:mm:ss".
#include <algorithm>

#include "platform/os_services.h"
#include "platform/posix/real_time.h"

namespace qm {

using namespace std::chrono;

namespace posix {

LocalTime localTimeOf(const timespec& t) {
    // tzset() each time, so a change of time zone or of daylight saving rules is seen by a
    // program that stays resident for weeks.
    ::tzset();
    struct tm local {};
    ::localtime_r(&t.tv_sec, &local);
    const year_month_day date{year{local.tm_year + 1900}, month{static_cast<unsigned>(local.tm_mon + 1)},
                              day{static_cast<unsigned>(local.tm_mday)}};
    return local_days{date} + hours{local.tm_hour} + minutes{local.tm_min} + seconds{std::min(local.tm_sec, 59)};
}

timespec realTimeNow() {
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return t;
}

timespec realTimeOf(LocalTime at) {
    ::tzset();
    const local_days date = floor<days>(at);
    const year_month_day ymd{date};
    const hh_mm_ss time{at - date};
    struct tm wall {};
    wall.tm_year = static_cast<int>(ymd.year()) - 1900;
    wall.tm_mon = static_cast<int>(static_cast<unsigned>(ymd.month())) - 1;
    wall.tm_mday = static_cast<int>(static_cast<unsigned>(ymd.day()));
    wall.tm_hour = static_cast<int>(time.hours().count());
    wall.tm_min = static_cast<int>(time.minutes().count());
    wall.tm_sec = static_cast<int>(time.seconds().count());
    // Tried as summer time and as standard time: the earlier instant that really shows `at` wins,
    // so an hour shown twice is waited for at its first showing, not an hour late.
    time_t first = -1;
    for (const int summer : {1, 0}) {
        struct tm t = wall;
        t.tm_isdst = summer;
        const time_t instant = ::mktime(&t);
        if (instant != -1 && localTimeOf({instant, 0}) == at && (first == -1 || instant < first)) first = instant;
    }
    if (first == -1) {
        // A moment the clock skips: mktime moves it past the skip.
        struct tm t = wall;
        t.tm_isdst = -1;
        first = ::mktime(&t);
    }
    return {first, 0};
}

}  // namespace posix

namespace {

std::string twoDigit(long v) { return {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)}; }

class PosixClock final : public Clock {
public:
    LocalTime now() const override { return posix::localTimeOf(posix::realTimeNow()); }

    std::string timeText(seconds timeOfDay) const override {
        const hh_mm_ss hms{timeOfDay};
        return std::to_string(hms.hours().count()) + ":" + twoDigit(hms.minutes().count()) + ":" +
               twoDigit(hms.seconds().count());
    }
};

}  // namespace

std::unique_ptr<Clock> makeSystemClock() { return std::make_unique<PosixClock>(); }

}  // namespace qm
