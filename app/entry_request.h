// The entry that the command line's --add asks for: a line given as it stands, or built from
// --at, one day option and --method with the functions the windows write entries with. Either
// way only a line the windows could have written passes.
#pragma once

#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qm {

// What the command line says of an argument it does not take, before the argument.
inline constexpr std::string_view kUnknownOption = "不明なオプションです: ";
inline constexpr std::string_view kExtraArgument = "余分な引数です: ";
// After an option that needs a value and has none.
inline constexpr std::string_view kNoValue = " の値がありません";

inline constexpr std::string_view kNoMethod = "--method で終了方法を指定して下さい";
// "終了方法が正しくありません (shutdown, forced, …, lock): ", before the name that is not one.
std::string badMethodRefusal();

// The entry line, or why there is none: one line for the user.
struct RequestedEntry {
    std::string entry;
    std::string refusal;

    bool ok() const { return refusal.empty(); }
};

// From the arguments after --add: either one entry line, or the options
// --at HH:MM (--date YYYY-MM-DD | --every-day | --weekdays | --weekend | --weekly DAY) --method NAME
// or --idle HH:MM --method NAME (how long without input, 00:01 to 12:00), in any order.
// `current`: this year, which decides the years a two-digit year stands for.
RequestedEntry requestedEntry(std::span<const std::string> args, std::chrono::year current);

// Why `line` is not an entry as the windows write it, or nullopt when it is one: it must read as
// an entry, name a known method, give a possible date, hour and minute, and be exactly the line
// that the windows' own functions build from those fields.
std::optional<std::string> whyNotAsWritten(std::string_view line, std::chrono::year current);

}  // namespace qm
