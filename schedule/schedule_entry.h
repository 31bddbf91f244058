// One schedule line: the dated and the every-day layouts, built from fields and parsed by
// character position (never by byte), plus the date helpers the windows share.
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

enum class EntryKind { Dated, EveryDay };

// What a line says, fields converted to integers but not range-checked.
struct ParsedEntry {
    EntryKind kind = EntryKind::Dated;
    int year2 = 0;  // two-digit year, dated only
    int month = 0;  // dated only
    int day = 0;    // dated only
    int hour = 0;
    int minute = 0;
    std::string method;  // from position 18 (dated) or 16 (every-day) to the end

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
};

// True when the first four characters are exactly "毎日実行".
bool isEveryDayLine(std::string_view line);

// nullopt when the line is too short (it lacks a character before the method's position; the
// method itself may be empty) or a numeric field is not two decimal digits.
std::optional<ParsedEntry> parseEntry(std::string_view line);
std::optional<EntryFields> parseEntryFields(std::string_view line);

// The moment a parsed entry stands for (seconds 00); every-day entries stand for `today`.
// nullopt for an impossible date, an hour over 23 or a minute over 59.
std::optional<LocalTime> entryMoment(const ParsedEntry& entry, std::chrono::local_days today);
std::optional<LocalTime> entryMoment(const EntryFields& entry, std::chrono::local_days today);
// The date fields of a dated entry as they stand, not checked: ok() is false for 31 April.
std::chrono::year_month_day entryDate(const EntryFields& entry);

// 98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ: the minute in which `moment` falls; seconds dropped.
std::string datedEntry(LocalTime moment, std::string_view method);
// 毎日実行　　　　22時30分　再起動
std::string everyDayEntry(int hour, int minute, std::string_view method);

// Two-digit years: 00-29 are 2000-2029, 30-99 are 1930-1999.
std::chrono::year expandYear(int year2);
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
