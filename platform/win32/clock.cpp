// The system clock on Windows: GetLocalTime, and the time text in the user's own format.
#include <string>

#include "platform/os_services.h"
#include "platform/win32/wide.h"

namespace qm {
namespace {

using namespace std::chrono;

class Win32Clock final : public Clock {
public:
    LocalTime now() const override {
        SYSTEMTIME st{};
        ::GetLocalTime(&st);
        const year_month_day date{year{st.wYear}, month{st.wMonth}, day{st.wDay}};
        return local_days{date} + hours{st.wHour} + minutes{st.wMinute} + seconds{st.wSecond};
    }

    milliseconds untilNextSecond() const override {
        SYSTEMTIME st{};
        ::GetLocalTime(&st);
        return milliseconds{1000 - st.wMilliseconds};
    }

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
