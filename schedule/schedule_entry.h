// One schedule line: the dated layout and the layouts of the every-day shape (every day, working
// days, the weekend, one day of the week), built from fields and parsed by character position
// (never by byte), plus the date helpers the windows share.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace qm {

inline constexpr std::string_view kEveryDayPrefix = "毎日実行　　　　";  // 4 ideographic spaces
inline constexpr std::string_view kEveryDayWord = "毎日実行";
inline constexpr std::string_view kWeekdaysPrefix = "平日実行　　　　";  // Monday to Friday
inline constexpr std::string_view kWeekendPrefix = "週末実行　　　　";   // Saturday and Sunday
// One day of the week: "毎週" + the day's character + "曜" + 4 ideographic spaces.
inline constexpr std::string_view kWeeklyWord = "毎週";
// Once the user has made no input for HH時MM分: 00時01分 to 12時00分.
inline constexpr std::string_view kIdlePrefix = "無操作時　　　　";
inline constexpr int kIdleMinutesAtMost = 12 * 60;

// Dated entries fire once; the others are of the every-day shape and fire on the days they name,
// except the inactivity entry, which fires once the user has made no input for its time.
enum class EntryKind { Dated, EveryDay, Weekdays, Weekend, Weekly, Idle };

// What a line says, fields converted to integers but not range-checked.
struct ParsedEntry {
    EntryKind kind = EntryKind::Dated;
    int year2 = 0;  // two-digit year, dated only
    int month = 0;  // dated only
    int day = 0;    // dated only
    int hour = 0;
    int minute = 0;
    std::string method;  // from position 18 (dated) or 16 (every-day shape) to the end
    std::chrono::weekday weekday{};  // weekly only

    bool operator==(const ParsedEntry&) const = default;
};

// The same fields with the method as a view into the parsed line: the selection reads every line
// of the file and must not allocate for each.
struct EntryFields {
    EntryKind kind = EntryKind::Dated;
    int year2 = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    std::string_view method;
    std::chrono::weekday weekday{};  // weekly only
};

// True when the first four characters are exactly "毎日実行".
bool isEveryDayLine(std::string_view line);

// nullopt when the line is too short (it lacks a character before the method's position; the
// method itself may be empty) or a numeric field is not two decimal digits.
std::optional<ParsedEntry> parseEntry(std::string_view line);
std::optional<EntryFields> parseEntryFields(std::string_view line);

// The moment a parsed entry stands for (seconds 00); entries of the every-day shape stand for
// `today` when it is one of their days, and for nothing on other days; an inactivity entry never
// stands for a moment. nullopt also for an
// impossible date, an hour over 23 or a minute over 59.
std::optional<LocalTime> entryMoment(const ParsedEntry& entry, std::chrono::local_days today);
std::optional<LocalTime> entryMoment(const EntryFields& entry, std::chrono::local_days today);
// The date fields of a dated entry as they stand, not checked: ok() is false for 31 April.
// The date of a dated entry whose two-digit year is read in the window around `current`.
std::chrono::year_month_day entryDate(const EntryFields& entry, std::chrono::year current);

// 98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ: the minute in which `moment` falls; seconds dropped.
std::string datedEntry(LocalTime moment, std::string_view method);
// 毎日実行　　　　22時30分　再起動
std::string everyDayEntry(int hour, int minute, std::string_view method);
// An entry of the every-day shape for `kind` (not Dated); `weekday` names the day of a weekly one:
// 平日実行　　　　22時30分　再起動, 毎週月曜　　　　07時00分　ｼｬｯﾄﾀﾞｳﾝ.
std::string dayEntry(EntryKind kind, std::chrono::weekday weekday, int hour, int minute, std::string_view method);
// How long without input an inactivity entry waits: none for other entries and for an idle time
// outside 00時01分 to 12時00分, which never fires, as other malformed lines do not.
std::optional<std::chrono::minutes> idleThreshold(const EntryFields& entry);
// 無操作時　　　　00時30分　ｼｬｯﾄﾀﾞｳﾝ
std::string idleEntry(std::chrono::minutes idle, std::string_view method);
// The character a weekday goes by: 月 火 水 木 金 土 日.
std::string_view weekdayCharacter(std::chrono::weekday weekday);

// A two-digit year is the year with those last two digits in the hundred years from 50 before
// `current` to 49 after it: in 2026, 76-99 are 1976-1999 and 00-75 are 2000-2075.
std::chrono::year expandYear(int year2, std::chrono::year current);
// The first and last year that a two-digit year can stand for in `current`.
std::chrono::year firstTwoDigitYear(std::chrono::year current);
std::chrono::year lastTwoDigitYear(std::chrono::year current);
// Whether `date` can be written with a two-digit year and read back as itself in `current`.
bool twoDigitYearHolds(std::chrono::year_month_day date, std::chrono::year current);
// "1976年から2075年までの日付にして下さい": what is said of a date the file cannot hold.
std::string outsideTwoDigitYears(std::chrono::year current);
// The short date text "yy/mm/dd", each field zero-padded.
std::string shortDateText(std::chrono::year_month_day date);
// "98年12月06日": year, month and day as the short date gives them.
std::string dateLabelText(std::chrono::year_month_day date);
// Two digits with a leading zero: 7 -> "07".
std::string twoDigits(int value);

// A dated entry whose moment is not later than `now`; every-day entries and lines of neither
// layout never are.
bool isPastDated(std::string_view line, LocalTime now);

// The list without every dated entry whose moment is not later than `now`; every-day entries
// and lines of neither layout stay, in their order. One pass, same result as rescanning from the
// top after each removal.
std::vector<std::string> withoutPastEntries(std::vector<std::string> lines, LocalTime now);

}  // namespace qm
