// The four ways to end the session, as the words that schedule entries store.
#pragma once

#include <optional>
#include <string_view>

namespace qm {

enum class ExitMethod { Shutdown, ForcedExit, Restart, Logoff };

// Stored words, compared exactly. Shut-down is the half-width word, never the
// full-width caption "シャットダウン" that option buttons show.
inline constexpr std::string_view kShutdownWord = "ｼｬｯﾄﾀﾞｳﾝ";
inline constexpr std::string_view kForcedExitWord = "強制終了";
inline constexpr std::string_view kRestartWord = "再起動";
inline constexpr std::string_view kLogoffWord = "ログオフ";

std::optional<ExitMethod> methodFromWord(std::string_view word);
std::string_view wordOf(ExitMethod method);
// The uFlags value of the session-end request: 1, 5, 2, 0.
unsigned exitFlags(ExitMethod method);

}  // namespace qm
