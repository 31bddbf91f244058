// The system clock on Windows: the precise system time in local time, and the time text in the
// user's own format.
#include <string>

#include "platform/os_services.h"
#include "platform/win32/module_function.h"
#include "platform/win32/real_time.h"
#include "platform/win32/wide.h"

namespace qm {

using namespace std::chrono;

namespace win32 {

LocalTime localTimeOf(const FILETIME& utc) {
    SYSTEMTIME universal{}, st{};
    ::FileTimeToSystemTime(&utc, &universal);
    // The time zone's rules for that date, as GetLocalTime applies them today.
    if (!::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &st)) ::GetLocalTime(&st);
    const year_month_day date{year{st.wYear}, month{st.wMonth}, day{st.wDay}};
    return local_days{date} + hours{st.wHour} + minutes{st.wMinute} + seconds{st.wSecond};
}

FILETIME realTimeNow() {
    // Found at run time: Windows 7 has only the coarse one.
    using Precise = void(WINAPI*)(LPFILETIME);
    static const Precise precise =
        moduleFunction<Precise>(::GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime");
    FILETIME now{};
    if (precise) {
        precise(&now);
    } else {
        ::GetSystemTimeAsFileTime(&now);
    }
    return now;
}

FILETIME realTimeOf(LocalTime at) {
    const local_days date = floor<days>(at);
    const year_month_day ymd{date};
    const hh_mm_ss time{at - date};
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(static_cast<int>(ymd.year()));
    local.wMonth = static_cast<WORD>(static_cast<unsigned>(ymd.month()));
    local.wDay = static_cast<WORD>(static_cast<unsigned>(ymd.day()));
    local.wHour = static_cast<WORD>(time.hours().count());
    local.wMinute = static_cast<WORD>(time.minutes().count());
    local.wSecond = static_cast<WORD>(time.seconds().count());
    SYSTEMTIME universal{};
    FILETIME out{};
    if (!::TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal) ||
        !::SystemTimeToFileTime(&universal, &out))
        return realTimeNow();  // a moment Windows cannot place: now, and the owner looks again
    // An hour shown twice (summer time ending) is waited for at its first showing, not an hour
    // late: the earliest of the instants an hour or half an hour before that shows the same wins.
    ULARGE_INTEGER found{};
    found.LowPart = out.dwLowDateTime;
    found.HighPart = out.dwHighDateTime;
    ULARGE_INTEGER first = found;
    for (const ULONGLONG earlier : {30ULL, 60ULL}) {
        ULARGE_INTEGER t = found;
        t.QuadPart -= earlier * 60 * 10'000'000;
        if (localTimeOf(FILETIME{t.LowPart, t.HighPart}) == at) first = t;
    }
    return {first.LowPart, first.HighPart};
}

}  // namespace win32

namespace {

class Win32Clock final : public Clock {
public:
    LocalTime now() const override { return win32::localTimeOf(win32::realTimeNow()); }

    std::string timeText(seconds timeOfDay) const override {
        const hh_mm_ss hms{timeOfDay};
        SYSTEMTIME st{};
        st.wYear = 2000;
        st.wMonth = 1;
        st.wDay = 1;
        st.wHour = static_cast<WORD>(hms.hours().count());
        st.wMinute = static_cast<WORD>(hms.minutes().count());
        st.wSecond = static_cast<WORD>(hms.seconds().count());
        wchar_t text[80];
        const int n = ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, text, 80);
        if (n > 1) return narrow(std::wstring_view(text, static_cast<std::size_t>(n - 1)));
        // Should the locale fail us, the form a Japanese system uses.
        const auto pad = [](int v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
        return std::to_string(st.wHour) + ":" + pad(st.wMinute) + ":" + pad(st.wSecond);
    }
};

}  // namespace

std::unique_ptr<Clock> makeSystemClock() {
    return std::make_unique<Win32Clock>();
}

}  // namespace qm
