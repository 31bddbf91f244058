// Building and checking the entry that --add asks for.
#include "app/entry_request.h"

#include <array>
#include <chrono>

#include "schedule/exit_method.h"
#include "schedule/schedule_entry.h"

namespace qm {

namespace {

using namespace std::chrono;

inline constexpr std::string_view kNotAnEntry = "予定の形になっていません: ";
inline constexpr std::string_view kUnknownMethodWord = "終了方法が正しくありません: ";
inline constexpr std::string_view kImpossibleTime = "有り得ない時刻です: ";
inline constexpr std::string_view kImpossibleDate = "有り得ない日付です: ";
inline constexpr std::string_view kNotAsWritten = "設定画面が書く形と違います: ";
inline constexpr std::string_view kTwice = " が二度指定されています";
inline constexpr std::string_view kBadTime = "時刻が正しくありません (HH:MM): ";
inline constexpr std::string_view kBadDate = "日付が正しくありません (YYYY-MM-DD): ";
std::string yearOutOfRange(year current) { return outsideTwoDigitYears(current) + ": "; }
inline constexpr std::string_view kBadWeekday = "曜日が正しくありません (mon〜sun 又は 月〜日): ";
inline constexpr std::string_view kBadIdle = "無操作の時間が正しくありません (00:01〜12:00): ";
inline constexpr std::string_view kIdleWithAt = "--idle と --at は一緒に指定できません";
inline constexpr std::string_view kNoTime = "--at で時刻を指定して下さい";
inline constexpr std::string_view kOneDayOption =
    "--date, --every-day, --weekdays, --weekend, --weekly, --idle のどれか一つを指定して下さい";

// Sunday first, as std::chrono::weekday counts; each day also goes by its character (月 for Monday).
constexpr std::array<std::string_view, 7> kWeekdayNames{"sun", "mon", "tue", "wed", "thu", "fri", "sat"};

RequestedEntry refused(std::string_view why, std::string_view what = {}) {
    return {{}, std::string(why).append(what)};
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The ASCII digits of text[from, from + count) as a number, or -1.
int digitsAt(std::string_view text, std::size_t from, std::size_t count) {
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (i >= text.size() || !isDigit(text[i])) return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "H:MM" or "HH:MM", 00:00 to 23:59.
std::optional<minutes> timeOfDay(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon != 1 && colon != 2) return std::nullopt;
    if (text.size() != colon + 3) return std::nullopt;
    const int hour = digitsAt(text, 0, colon);
    const int minute = digitsAt(text, colon + 1, 2);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return std::nullopt;
    return hours{hour} + minutes{minute};
}

// "YYYY-MM-DD", a day that exists.
std::optional<year_month_day> calendarDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const int y = digitsAt(text, 0, 4), m = digitsAt(text, 5, 2), d = digitsAt(text, 8, 2);
    if (y < 0 || m < 0 || d < 0) return std::nullopt;
    const year_month_day date{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
    if (!date.ok()) return std::nullopt;
    return date;
}


std::optional<weekday> weekdayNamed(std::string_view text) {
    for (unsigned i = 0; i < kWeekdayNames.size(); ++i)
        if (text == kWeekdayNames[i] || text == weekdayCharacter(weekday{i})) return weekday{i};
    return std::nullopt;
}

bool looksLikeOption(std::string_view arg) {
    return arg.starts_with("--");
}

// The options of the easier form, read in any order; each may come once.
RequestedEntry fromOptions(std::span<const std::string> args, year current) {
    std::optional<minutes> time;
    std::optional<ExitMethod> method;
    std::optional<EntryKind> kind;
    year_month_day date{};
    weekday dayOfWeek{};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view option = args[i];
        const auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= args.size() || looksLikeOption(args[i + 1])) return std::nullopt;
            return args[++i];
        };
        const auto takeKind = [&](EntryKind k) {
            if (kind) return false;
            kind = k;
            return true;
        };
        if (option == "--at") {
            if (kind == EntryKind::Idle) return refused(kIdleWithAt);
            if (time) return refused(option, kTwice);
            const auto text = value();
            if (!text) return refused(option, kNoValue);
            if (!(time = timeOfDay(*text))) return refused(kBadTime, *text);
        } else if (option == "--method") {
            if (method) return refused(option, kTwice);
            const auto text = value();
            if (!text) return refused(option, kNoValue);
            if (!(method = methodNamed(*text))) return refused(badMethodRefusal(), *text);
        } else if (option == "--date") {
            const auto text = value();
            if (!text) return refused(option, kNoValue);
            const auto parsed = calendarDate(*text);
            if (!parsed) return refused(kBadDate, *text);
            if (!twoDigitYearHolds(*parsed, current)) return refused(yearOutOfRange(current), *text);
            if (!takeKind(EntryKind::Dated)) return refused(kOneDayOption);
            date = *parsed;
        } else if (option == "--weekly") {
            const auto text = value();
            if (!text) return refused(option, kNoValue);
            const auto parsed = weekdayNamed(*text);
            if (!parsed) return refused(kBadWeekday, *text);
            if (!takeKind(EntryKind::Weekly)) return refused(kOneDayOption);
            dayOfWeek = *parsed;
        } else if (option == "--idle") {
            const auto text = value();
            if (!text) return refused(option, kNoValue);
            const auto parsed = timeOfDay(*text);
            if (!parsed || *parsed < minutes{1} || *parsed > minutes{kIdleMinutesAtMost}) return refused(kBadIdle, *text);
            if (!takeKind(EntryKind::Idle)) return refused(kOneDayOption);
            if (time) return refused(kIdleWithAt);
            time = parsed;
        } else if (option == "--every-day" || option == "--weekdays" || option == "--weekend") {
            const EntryKind k = option == "--every-day"  ? EntryKind::EveryDay
                                : option == "--weekdays" ? EntryKind::Weekdays
                                                         : EntryKind::Weekend;
            if (!takeKind(k)) return refused(kOneDayOption);
        } else {
            return refused(looksLikeOption(option) ? kUnknownOption : kExtraArgument, option);
        }
    }
    if (!time) return refused(kNoTime);
    if (!kind) return refused(kOneDayOption);
    if (!method) return refused(kNoMethod);
    // The windows' own functions write the line: the timer tab's for a date, the time-of-day
    // dialog's for the days.
    const hh_mm_ss clock{*time};
    if (*kind == EntryKind::Dated) return {datedEntry(local_days{date} + *time, wordOf(*method)), {}};
    return {dayEntry(*kind, dayOfWeek, static_cast<int>(clock.hours().count()),
                     static_cast<int>(clock.minutes().count()), wordOf(*method)),
            {}};
}

}  // namespace

std::string badMethodRefusal() {
    std::string text = "終了方法が正しくありません (";
    for (const ExitMethodInfo& info : kExitMethods)
        text.append(info.commandName).append(info.method == kExitMethods.back().method ? "): " : ", ");
    return text;
}

std::optional<std::string> whyNotAsWritten(std::string_view line, year current) {
    const std::optional<EntryFields> entry = parseEntryFields(line);
    if (!entry) return std::string(kNotAnEntry).append(line);
    if (!methodFromWord(entry->method)) return std::string(kUnknownMethodWord).append(entry->method);
    if (entry->hour > 23 || entry->minute > 59 || (entry->kind == EntryKind::Idle && !idleThreshold(*entry)))
        return std::string(kImpossibleTime).append(line);
    std::string rebuilt;
    if (entry->kind == EntryKind::Dated) {
        const year_month_day date = entryDate(*entry, current);
        if (!date.ok()) return std::string(kImpossibleDate).append(line);
        rebuilt = datedEntry(local_days{date} + hours{entry->hour} + minutes{entry->minute}, entry->method);
    } else {
        rebuilt = dayEntry(entry->kind, entry->weekday, entry->hour, entry->minute, entry->method);
    }
    // The separators, which a reader passes over by position, must still be those the windows write.
    if (rebuilt != line) return std::string(kNotAsWritten).append(line);
    return std::nullopt;
}

RequestedEntry requestedEntry(std::span<const std::string> args, year current) {
    if (args.empty()) return refused("--add", kNoValue);
    RequestedEntry request;
    if (looksLikeOption(args[0])) {
        request = fromOptions(args, current);
    } else {
        if (args.size() > 1)
            return refused(looksLikeOption(args[1]) ? kUnknownOption : kExtraArgument, args[1]);
        request = {args[0], {}};
    }
    if (!request.ok()) return request;
    if (auto why = whyNotAsWritten(request.entry, current)) return refused(*why);
    return request;
}

}  // namespace qm
