// The system clock on POSIX systems: local time from localtime_r, time text as "H:mm:ss".
#include <time.h>

#include <algorithm>

#include "platform/os_services.h"

namespace qm {
namespace {

using namespace std::chrono;

std::string twoDigit(long v) { return {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)}; }

class PosixClock final : public Clock {
public:
    LocalTime now() const override {
        // tzset() each time, so a change of time zone or of daylight saving rules is seen
        // by a program that stays resident for weeks.
        ::tzset();
        const time_t t = ::time(nullptr);
        struct tm local {};
        ::localtime_r(&t, &local);
        const year_month_day date{year{local.tm_year + 1900},
                                  month{static_cast<unsigned>(local.tm_mon + 1)},
                                  day{static_cast<unsigned>(local.tm_mday)}};
        // A leap second (tm_sec 60) is shown as the last second of its minute.
        return local_days{date} + hours{local.tm_hour} + minutes{local.tm_min} +
               seconds{std::min(local.tm_sec, 59)};
    }

    milliseconds untilNextSecond() const override {
        timespec t{};
        ::clock_gettime(CLOCK_REALTIME, &t);
        return milliseconds{1000 - t.tv_nsec / 1'000'000};
    }

    std::string timeText(seconds timeOfDay) const override {
        const hh_mm_ss hms{timeOfDay};
        return std::to_string(hms.hours().count()) + ":" + twoDigit(hms.minutes().count()) + ":" +
               twoDigit(hms.seconds().count());
    }
};

}  // namespace

std::unique_ptr<Clock> makeSystemClock() { return std::make_unique<PosixClock>(); }

}  // namespace qm
