// The ways to end the session (or only to put the machine to sleep or lock the screen), as the
// words that schedule entries store.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

enum class ExitMethod { Shutdown, ForcedExit, Restart, Logoff, Sleep, Hibernate, Lock };

// Stored words, compared exactly. Shut-down is the half-width word, never the
// full-width caption "シャットダウン" that option buttons show.
inline constexpr std::string_view kShutdownWord = "ｼｬｯﾄﾀﾞｳﾝ";
inline constexpr std::string_view kForcedExitWord = "強制終了";
inline constexpr std::string_view kRestartWord = "再起動";
inline constexpr std::string_view kLogoffWord = "ログオフ";
inline constexpr std::string_view kSleepWord = "スリープ";
inline constexpr std::string_view kHibernateWord = "休止状態";
inline constexpr std::string_view kLockWord = "ロック";

std::optional<ExitMethod> methodFromWord(std::string_view word);
std::string_view wordOf(ExitMethod method);
// The caption of the option that offers the method: the word, but for shut-down the full-width
// "シャットダウン".
std::string_view optionCaptionOf(ExitMethod method);
// Whether the method ends the session (and with it the program); sleep, hibernation and a locked
// screen leave it running.
bool endsSession(ExitMethod method);

// An entry's method word as read: the method it names, or none for a word that names no method
// (or an empty one). The word itself is kept, since the warning shows it as it stands.
struct MethodWord {
    std::optional<ExitMethod> method;
    std::string word;

    static MethodWord parse(std::string_view word) { return {methodFromWord(word), std::string(word)}; }
    bool operator==(const MethodWord&) const = default;
};

}  // namespace qm
