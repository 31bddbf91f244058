// Texts that more than one window shows, and the fonts the window tables share. Texts that only
// one window shows live in that window's unit.
#pragma once

#include <string_view>

#include "platform/ui/definition.h"

namespace qm::texts {

// The program's name: the settings window's caption and the title of every message box.
inline constexpr std::string_view kProgramTitle = "QuietusMachine";

// The choices the notice five minutes ahead offers, as buttons on it or in the window a click on
// it opens: the noticed occurrence does not fire, or fires this many minutes later.
inline constexpr std::string_view kSkipChoice = "今回は中止";
inline constexpr std::string_view kPostponeChoice = "10分延期";
inline constexpr int kPostponeMinutes = 10;

// After the line number and the inactivity entry, once a run where the desktop tells nothing of
// the user's input.
inline constexpr std::string_view kNoIdleSourceSuffix =
    "は、この環境では操作のない時間が分からないため、実行されません。";

}  // namespace qm::texts

namespace qm::fonts {

inline constexpr std::string_view kPGothic = "ＭＳ Ｐゴシック";
inline constexpr std::string_view kPMincho = "ＭＳ Ｐ明朝";

// A Japanese face in the Shift-JIS character set, as the window tables give it.
inline ui::Font japanese(std::string_view face, double points, bool bold) {
    return ui::Font{
        .face = std::string(face), .points = points, .bold = bold, .charset = ui::Charset::ShiftJis};
}

}  // namespace qm::fonts
