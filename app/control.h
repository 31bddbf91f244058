// Control from outside: the requests this user's other processes send the running program over
// its control channel (quietus --pause, --status and the like), and its answers.
//
// A request is one line: "pause", "resume", "skip-next", "postpone MINUTES", "status",
// "status json" or "when-exits METHOD TARGET" (the method by its --method name, the target a
// process id or a program's name, to the end of the line). An answer is the exit status the asking command ends with, a line feed, and the
// text it shows: on standard output when the status is 0, else on standard error.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "schedule/next_due.h"

namespace qm {

// The longest postponement asked from outside: a day.
inline constexpr int kPostponeAtMost = 24 * 60;
// What the command line and the running program say when nothing is due.
inline constexpr std::string_view kNothingDue = "次に実行される予定はありません";

// "2026-12-08 22:30": the date as --date takes it, the time as --at takes it.
std::string momentText(LocalTime moment);

struct ControlRequest {
    enum class Kind { Pause, Resume, SkipNext, Postpone, Status, WhenExits };
    Kind kind = Kind::Status;
    int minutes = 0;    // Postpone: 1 to kPostponeAtMost
    bool json = false;  // Status: for programs to read
    ExitMethod method = ExitMethod::Shutdown;  // WhenExits
    std::string target{};                      // WhenExits: not empty, one line
    bool operator==(const ControlRequest&) const = default;
};

std::string requestLine(const ControlRequest& request);
std::optional<ControlRequest> parseRequest(std::string_view line);

struct ControlAnswer {
    int status = 0;
    std::string text;  // whole lines, each ended by "\n"
    bool operator==(const ControlAnswer&) const = default;
};

std::string answerLine(const ControlAnswer& answer);
// None for anything that is not an answer.
std::optional<ControlAnswer> parseAnswer(std::string_view line);

// What the running program lets a request reach.
class Controlled {
public:
    virtual ~Controlled() = default;
    virtual bool paused() const = 0;
    // False when it already was so.
    virtual bool setPaused(bool paused) = 0;
    virtual Schedule& selection() = 0;
    // Waits for every process of `target` to end, then warns as for a due entry; this replaces a
    // wait before it. False, the wait before kept, when none runs now.
    virtual bool waitForExit(const std::string& target, ExitMethod method) = 0;
    virtual void cancelWaitForExit() = 0;
    virtual LocalTime now() const = 0;
};

// The running program's answer to a request line.
ControlAnswer answerRequest(std::string_view line, Controlled& program);

}  // namespace qm
