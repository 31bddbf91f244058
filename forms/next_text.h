// How the program words what comes next, in the tray's tip and in the running program's answers
// to the command line: the time left to an entry and its method.
#pragma once

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "schedule/exit_method.h"
#include "schedule/utf8.h"

namespace qm {

// The tip's first line, and the first line of the running program's status.
inline constexpr std::string_view kRunningTip = "QuietusMachineは動作中です";
inline constexpr std::string_view kPausedTip = "QuietusMachineは停止中です";
// The line that says what comes next: this, its date and time, its method, and the time left in
// full-width parentheses.
inline constexpr std::string_view kNextPrefix = "次回: ";
inline constexpr std::string_view kLeftOpen = "（あと";
inline constexpr std::string_view kLeftClose = "）";

// A method word that names no method is shown as it stands, up to this many characters, so that
// the time left still shows and the tip stays within what a Windows tip holds (127 UTF-16 units).
inline constexpr std::size_t kWordShownAtMost = 16;

struct TimeLeft {
    std::string text;
    LocalTime changesAt;  // the first moment at which the text is another
};

// The time from `now` to `moment` (which is ahead), rounded up to the smallest unit shown, so that
// it never says 0 while the entry is ahead: to the minute under a day ("2時間15分", "15分"), to the
// hour from a day on ("3日4時間"). Entries fall on whole minutes, so the text changes on them.
inline TimeLeft timeLeft(LocalTime moment, LocalTime now) {
    using namespace std::chrono;
    const seconds left = moment - now;
    const long minutesLeft = static_cast<long>(ceil<minutes>(left).count());
    if (minutesLeft < 24 * 60) {
        const long h = minutesLeft / 60, m = minutesLeft % 60;
        std::string text = h ? std::to_string(h) + "時間" : std::string();
        if (m || !h) text += std::to_string(m) + "分";
        return {text, moment - minutes{minutesLeft - 1}};
    }
    const long hoursLeft = static_cast<long>(ceil<hours>(left).count());
    std::string text = std::to_string(hoursLeft / 24) + "日";
    if (hoursLeft % 24) text += std::to_string(hoursLeft % 24) + "時間";
    // The next hour down, or a minute less than a day, where the minutes show again.
    return {text, std::min(moment - hours{hoursLeft - 1}, moment - minutes{24 * 60 - 1})};
}

// The method as the notice names it, or a word that names none as it stands (cut short).
inline std::string methodShown(const MethodWord& method) {
    if (method.method) return std::string(optionCaptionOf(*method.method));
    return std::string(utf8Prefix(method.word, kWordShownAtMost));
}

// The wait for a program's end: kNextPrefix, the program (its id or name; in the tip cut to this
// many characters, so that the tip stays within 127 units), this, then the method.
inline constexpr std::string_view kAfterExit = "の終了後 ";
inline constexpr std::size_t kTargetShownAtMost = 32;

// "次回: firefoxの終了後 シャットダウン"
inline std::string afterExitText(std::string_view target, const MethodWord& method, std::size_t targetAtMost = std::string_view::npos) {
    return std::string(kNextPrefix).append(utf8Prefix(target, targetAtMost)).append(kAfterExit).append(methodShown(method));
}

}  // namespace qm
