// The ways to end the session (or only to put the machine to sleep or lock the screen): one table
// that says, for each, the word entries store, how the windows offer it, how the command line
// names it, what the warning says and what the session-end service is asked for.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

enum class ExitMethod { Shutdown, ForcedExit, Restart, Logoff, Sleep, Hibernate, Lock };

// What the session-end service is asked for, in no OS's terms; each back end maps it to its call.
enum class SessionRequest { PowerOff, ForcedPowerOff, Reboot, LogOff, Suspend, Hibernate, LockScreen };

struct ExitMethodInfo {
    ExitMethod method;
    // The word entries store, compared exactly: the one spelling the file has for the method.
    std::string_view word;
    // The option button that offers it in the settings window and the time-of-day dialog (the same
    // name, caption, width and tooltip in both), one row below the one before.
    std::string_view optionName;
    std::string_view caption;
    int optionWidth;  // twips
    std::string_view tooltip;
    std::string_view commandName;  // the value of --method
    // The warning's caption and its line naming what will happen.
    std::string_view warningTitle;
    std::string_view warningLine;
    // Whether it ends the session (and with it the program); sleep, hibernation and a locked
    // screen leave it running.
    bool endsSession;
    SessionRequest request;
};

// In the order the windows offer them. Shut-down is stored as the half-width word, never as the
// full-width caption "シャットダウン" its option shows.
inline constexpr std::array<ExitMethodInfo, 7> kExitMethods{{
    {ExitMethod::Shutdown, "ｼｬｯﾄﾀﾞｳﾝ", "Option1", "シャットダウン", 1455,
     "ｱﾌﾟﾘｹｰｼｮﾝが起動している場合は終了しない時があります", "shutdown", "ｼｬｯﾄﾀﾞｳﾝ確認",
     "ｼｬｯﾄﾀﾞｳﾝします。", true, SessionRequest::PowerOff},
    {ExitMethod::ForcedExit, "強制終了", "Option2", "強制終了", 1095, "ｱﾌﾟﾘｹｰｼｮﾝが起動していても強制的に終了します",
     "forced", "強制終了確認", "強制終了します。", true, SessionRequest::ForcedPowerOff},
    {ExitMethod::Restart, "再起動", "Option3", "再起動", 855, "ｱﾌﾟﾘｹｰｼｮﾝが起動している場合は再起動しない時があります",
     "restart", "再起動確認", "再起動します。", true, SessionRequest::Reboot},
    {ExitMethod::Logoff, "ログオフ", "Option4", "ログオフ", 1095,
     "ｱﾌﾟﾘｹｰｼｮﾝが起動している場合はログオフしない時があります", "logoff", "ログオフ確認", "ログオフします。", true,
     SessionRequest::LogOff},
    // The options for the methods that leave the session running came later, below the first four.
    {ExitMethod::Sleep, "スリープ", "Option10", "スリープ", 1095, "ｺﾝﾋﾟｭｰﾀをｽﾘｰﾌﾟさせます", "sleep", "スリープ確認",
     "スリープします。", false, SessionRequest::Suspend},
    {ExitMethod::Hibernate, "休止状態", "Option11", "休止状態", 1095, "ｺﾝﾋﾟｭｰﾀを休止状態にします", "hibernate",
     "休止状態確認", "休止状態します。", false, SessionRequest::Hibernate},
    {ExitMethod::Lock, "ロック", "Option12", "ロック", 1095, "画面をﾛｯｸします", "lock", "ロック確認", "ロックします。",
     false, SessionRequest::LockScreen},
}};

const ExitMethodInfo& infoOf(ExitMethod method);
std::optional<ExitMethod> methodFromWord(std::string_view word);
// The method --method names ("shutdown"), or none.
std::optional<ExitMethod> methodNamed(std::string_view commandName);
inline std::string_view wordOf(ExitMethod method) { return infoOf(method).word; }
inline std::string_view optionCaptionOf(ExitMethod method) { return infoOf(method).caption; }
inline bool endsSession(ExitMethod method) { return infoOf(method).endsSession; }
inline SessionRequest requestOf(ExitMethod method) { return infoOf(method).request; }

// The words tests and benchmarks write entries with.
inline constexpr std::string_view kShutdownWord = kExitMethods[0].word;
inline constexpr std::string_view kForcedExitWord = kExitMethods[1].word;
inline constexpr std::string_view kRestartWord = kExitMethods[2].word;
inline constexpr std::string_view kLogoffWord = kExitMethods[3].word;
inline constexpr std::string_view kSleepWord = kExitMethods[4].word;
inline constexpr std::string_view kLockWord = kExitMethods[6].word;

// An entry's method word as read: the method it names, or none for a word that names no method
// (or an empty one). The word itself is kept, since the warning shows it as it stands.
struct MethodWord {
    std::optional<ExitMethod> method;
    std::string word;

    static MethodWord parse(std::string_view word) { return {methodFromWord(word), std::string(word)}; }
    bool operator==(const MethodWord&) const = default;
};

}  // namespace qm
