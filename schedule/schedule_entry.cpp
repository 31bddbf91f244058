// Schedule lines: building both layouts from fields and reading them back by character position.
#include "schedule/schedule_entry.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "schedule/utf8.h"

namespace qm {
namespace {

using namespace std::chrono;

// Characters before the method word, and the positions (0-based) of the numeric fields.
constexpr std::size_t kDatedFixedChars = 17;
constexpr std::size_t kEveryDayFixedChars = 15;
constexpr std::size_t kDatedYear = 0, kDatedMonth = 3, kDatedDay = 6, kDatedHour = 10,
                      kDatedMinute = 13;
constexpr std::size_t kEveryDayHour = 8, kEveryDayMinute = 11;

// Byte offsets of the first `count` characters, and in offsets[count] the end of the last of
// them. False when the line holds fewer characters.
template <std::size_t N>
bool charOffsets(std::string_view line, std::size_t count, std::array<std::size_t, N>& offsets) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (pos >= line.size()) return false;
        offsets[i] = pos;
        pos += utf8CharLength(line, pos);
    }
    offsets[count] = pos;
    return true;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The two characters from position `index` on as a number. Only ASCII digits count, and a digit
// is a one-byte character, so the second one sits in the byte after the first.
bool twoDigitField(std::string_view line, const std::size_t* offsets, std::size_t index,
                   int& out) {
    const std::size_t at = offsets[index];
    if (!isDigit(line[at]) || !isDigit(line[at + 1])) return false;
    out = (line[at] - '0') * 10 + (line[at + 1] - '0');
    return true;
}

// Lines this program writes have the usual separators, so their fields sit at fixed byte
// offsets. Where every separator is found at its usual offset, reading by byte gives exactly what
// the walk by character gives; any other line goes the long way.
constexpr std::string_view kDatedShape = "00年00月00日 00時00分　";
constexpr std::string_view kEveryDayShape = "毎日実行　　　　00時00分　";
// The every-day shape after its head of four characters, which decides the days.
constexpr std::string_view kDayRuleTail = "　　　　00時00分　";
constexpr std::size_t kHeadBytes = kEveryDayShape.size() - kDayRuleTail.size();  // 4 three-byte characters

// Compares a whole shape at once: the digits' places must hold digits, all else must be equal.
// The shape is a compile-time constant, so the loops unroll into a few wide compares.
template <std::size_t N>
constexpr std::array<unsigned char, N> shapeMask(std::string_view shape) {
    std::array<unsigned char, N> mask{};
    for (std::size_t i = 0; i < N; ++i) mask[i] = shape[i] == '0' ? 0xF0 : 0xFF;
    return mask;
}

template <std::size_t N, std::size_t D>
constexpr std::array<std::size_t, D> digitPlaces(std::string_view shape) {
    std::array<std::size_t, D> places{};
    for (std::size_t i = 0, d = 0; i < N; ++i)
        if (shape[i] == '0') places[d++] = i;
    return places;
}

template <std::size_t N, std::size_t D>
bool matchesShape(std::string_view line, std::string_view shape,
                  const std::array<unsigned char, N>& mask,
                  const std::array<std::size_t, D>& digits) {
    if (line.size() < N) return false;
    // A digit is 0x30-0x39: under the mask 0xF0 it reads 0x30, as the shape's '0' does; then
    // the low four bits of each digit place must be 9 or less.
    unsigned char differ = 0;
    for (std::size_t i = 0; i < N; ++i)
        differ |= static_cast<unsigned char>((static_cast<unsigned char>(line[i]) & mask[i]) ^
                                             static_cast<unsigned char>(shape[i]));
    bool digitsOk = true;
    for (std::size_t i : digits) digitsOk &= (line[i] & 0x0F) <= 9;
    return differ == 0 && digitsOk;
}

constexpr auto kDatedMask = shapeMask<kDatedShape.size()>(kDatedShape);
constexpr auto kDatedDigits = digitPlaces<kDatedShape.size(), 10>(kDatedShape);
constexpr auto kDayRuleMask = shapeMask<kDayRuleTail.size()>(kDayRuleTail);
constexpr auto kDayRuleDigits = digitPlaces<kDayRuleTail.size(), 4>(kDayRuleTail);

struct DayRule {
    EntryKind kind = EntryKind::EveryDay;
    weekday day{};
};

constexpr std::array<std::string_view, 7> kWeekdayCharacters{"日", "月", "火", "水", "木", "金", "土"};

// Which days the first four characters of a line name, if they name any: "毎日実行", "平日実行",
// "週末実行", or "毎週" + a day's character + "曜".
std::optional<DayRule> dayRuleOf(std::string_view line) {
    if (line.starts_with(kEveryDayWord)) return DayRule{EntryKind::EveryDay};
    if (line.starts_with(kWeekdaysPrefix.substr(0, kHeadBytes))) return DayRule{EntryKind::Weekdays};
    if (line.starts_with(kWeekendPrefix.substr(0, kHeadBytes))) return DayRule{EntryKind::Weekend};
    if (line.starts_with(kIdlePrefix.substr(0, kHeadBytes))) return DayRule{EntryKind::Idle};
    if (!line.starts_with(kWeeklyWord)) return std::nullopt;
    const std::string_view rest = line.substr(kWeeklyWord.size());
    for (unsigned i = 0; i < kWeekdayCharacters.size(); ++i) {
        const std::string_view c = kWeekdayCharacters[i];
        if (rest.starts_with(c) && rest.substr(c.size()).starts_with("曜")) return DayRule{EntryKind::Weekly, weekday{i}};
    }
    return std::nullopt;
}

bool fallsOn(EntryKind kind, weekday entryDay, weekday today) {
    switch (kind) {
        case EntryKind::EveryDay: return true;
        case EntryKind::Weekdays: return today != Saturday && today != Sunday;
        case EntryKind::Weekend: return today == Saturday || today == Sunday;
        case EntryKind::Weekly: return today == entryDay;
        case EntryKind::Idle:
        case EntryKind::Dated: break;
    }
    return false;
}

int digitsAt(std::string_view line, std::size_t at) {
    return (line[at] - '0') * 10 + (line[at + 1] - '0');
}

}  // namespace

bool isPastDated(std::string_view line, LocalTime now) {
    const auto fields = parseEntryFields(line);
    if (!fields || fields->kind != EntryKind::Dated) return false;
    const auto moment = entryMoment(*fields, floor<days>(now));
    return moment && *moment <= now;
}

bool isEveryDayLine(std::string_view line) { return line.starts_with(kEveryDayWord); }

std::optional<EntryFields> parseEntryFields(std::string_view line) {
    if (matchesShape(line, kDatedShape, kDatedMask, kDatedDigits)) {
        const auto& d = kDatedDigits;  // year, month, day, hour, minute: two places each
        return EntryFields{EntryKind::Dated,     digitsAt(line, d[0]), digitsAt(line, d[2]),
                           digitsAt(line, d[4]), digitsAt(line, d[6]), digitsAt(line, d[8]),
                           line.substr(kDatedShape.size())};
    }
    const std::optional<DayRule> rule = dayRuleOf(line);
    if (rule && line.size() >= kHeadBytes &&
        matchesShape(line.substr(kHeadBytes), kDayRuleTail, kDayRuleMask, kDayRuleDigits)) {
        const auto& d = kDayRuleDigits;  // hour, minute
        const std::string_view tail = line.substr(kHeadBytes);
        return EntryFields{rule->kind, 0, 0, 0, digitsAt(tail, d[0]), digitsAt(tail, d[2]),
                           tail.substr(kDayRuleTail.size()), rule->day};
    }
    std::array<std::size_t, kDatedFixedChars + 1> at{};
    EntryFields f;
    if (rule) {
        f.kind = rule->kind;
        f.weekday = rule->day;
        if (!charOffsets(line, kEveryDayFixedChars, at)) return std::nullopt;
        if (!twoDigitField(line, at.data(), kEveryDayHour, f.hour) ||
            !twoDigitField(line, at.data(), kEveryDayMinute, f.minute))
            return std::nullopt;
        f.method = line.substr(at[kEveryDayFixedChars]);
        return f;
    }
    if (!charOffsets(line, kDatedFixedChars, at)) return std::nullopt;
    if (!twoDigitField(line, at.data(), kDatedYear, f.year2) ||
        !twoDigitField(line, at.data(), kDatedMonth, f.month) ||
        !twoDigitField(line, at.data(), kDatedDay, f.day) ||
        !twoDigitField(line, at.data(), kDatedHour, f.hour) ||
        !twoDigitField(line, at.data(), kDatedMinute, f.minute))
        return std::nullopt;
    f.method = line.substr(at[kDatedFixedChars]);
    return f;
}

std::optional<ParsedEntry> parseEntry(std::string_view line) {
    const auto f = parseEntryFields(line);
    if (!f) return std::nullopt;
    return ParsedEntry{f->kind, f->year2, f->month, f->day, f->hour, f->minute,
                       std::string(f->method), f->weekday};
}

std::optional<LocalTime> entryMoment(const EntryFields& entry, local_days today) {
    if (entry.hour < 0 || entry.hour > 23 || entry.minute < 0 || entry.minute > 59)
        return std::nullopt;
    const auto timeOfDay = hours{entry.hour} + minutes{entry.minute};
    if (entry.kind != EntryKind::Dated) {
        if (!fallsOn(entry.kind, entry.weekday, weekday{today})) return std::nullopt;
        return today + timeOfDay;
    }
    const year_month_day date = entryDate(entry, year_month_day{today}.year());
    // Rejects month 00 or 13, day 00, 31 April, 29 February of a common year.
    if (!date.ok()) return std::nullopt;
    return local_days{date} + timeOfDay;
}

year_month_day entryDate(const EntryFields& entry, year current) {
    return expandYear(entry.year2, current) / month(static_cast<unsigned>(entry.month)) /
           day(static_cast<unsigned>(entry.day));
}

std::optional<LocalTime> entryMoment(const ParsedEntry& entry, local_days today) {
    return entryMoment(EntryFields{entry.kind, entry.year2, entry.month, entry.day, entry.hour,
                                   entry.minute, entry.method, entry.weekday},
                       today);
}

std::string datedEntry(LocalTime moment, std::string_view method) {
    const auto date = floor<days>(moment);
    const hh_mm_ss time{floor<minutes>(moment - date)};
    std::string out = dateLabelText(year_month_day{date});
    out += ' ';
    out += twoDigits(static_cast<int>(time.hours().count()));
    out += "時";
    out += twoDigits(static_cast<int>(time.minutes().count()));
    out += "分　";
    out += method;
    return out;
}

std::string everyDayEntry(int hour, int minute, std::string_view method) {
    return dayEntry(EntryKind::EveryDay, {}, hour, minute, method);
}

std::string_view weekdayCharacter(weekday day) { return kWeekdayCharacters[day.c_encoding() % 7]; }

std::string dayEntry(EntryKind kind, weekday day, int hour, int minute, std::string_view method) {
    std::string out;
    switch (kind) {
        case EntryKind::Weekdays:
            out = kWeekdaysPrefix;
            break;
        case EntryKind::Weekend:
            out = kWeekendPrefix;
            break;
        case EntryKind::Weekly:
            out.append(kWeeklyWord).append(weekdayCharacter(day)).append("曜　　　　");
            break;
        case EntryKind::Idle:
            out = kIdlePrefix;
            break;
        case EntryKind::EveryDay:
        case EntryKind::Dated:
            out = kEveryDayPrefix;
            break;
    }
    out += twoDigits(hour);
    out += "時";
    out += twoDigits(minute);
    out += "分　";
    out += method;
    return out;
}

std::optional<minutes> idleThreshold(const EntryFields& entry) {
    if (entry.kind != EntryKind::Idle || entry.hour < 0 || entry.minute < 0 || entry.minute > 59) return std::nullopt;
    const minutes idle = hours{entry.hour} + minutes{entry.minute};
    if (idle < minutes{1} || idle > minutes{kIdleMinutesAtMost}) return std::nullopt;
    return idle;
}

std::string idleEntry(minutes idle, std::string_view method) {
    const auto count = static_cast<int>(idle.count());
    return dayEntry(EntryKind::Idle, {}, count / 60, count % 60, method);
}

year firstTwoDigitYear(year current) { return current - years{50}; }
year lastTwoDigitYear(year current) { return current + years{49}; }

bool twoDigitYearHolds(year_month_day date, year current) {
    return date.year() >= firstTwoDigitYear(current) && date.year() <= lastTwoDigitYear(current);
}

std::string outsideTwoDigitYears(year current) {
    return std::to_string(static_cast<int>(firstTwoDigitYear(current))) + "年から" +
           std::to_string(static_cast<int>(lastTwoDigitYear(current))) + "年までの日付にして下さい";
}

year expandYear(int year2, year current) {
    const int first = static_cast<int>(firstTwoDigitYear(current));
    return year{first + ((year2 - first) % 100 + 100) % 100};
}

std::string shortDateText(year_month_day date) {
    const int y = (static_cast<int>(date.year()) % 100 + 100) % 100;
    return twoDigits(y) + "/" + twoDigits(static_cast<int>(static_cast<unsigned>(date.month()))) +
           "/" + twoDigits(static_cast<int>(static_cast<unsigned>(date.day())));
}

std::string dateLabelText(year_month_day date) {
    // Year, month and day are cut from the short date, as every window does it.
    const std::string s = shortDateText(date);
    return s.substr(0, 2) + "年" + s.substr(3, 2) + "月" + s.substr(6, 2) + "日";
}

std::string twoDigits(int value) {
    if (value < 0 || value > 99) return std::to_string(value);
    return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

std::vector<std::string> withoutPastEntries(std::vector<std::string> lines, LocalTime now) {
    // Removing a past entry never makes another one past or future, so one filtering pass
    // leaves the same list as rescanning from the top after every removal.
    std::erase_if(lines, [now](const std::string& line) { return isPastDated(line, now); });
    return lines;
}

}  // namespace qm
