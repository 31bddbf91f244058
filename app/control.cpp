// Control from outside: the request and answer lines, and what the running program does for each
// request and says back.
#include "app/control.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "app/command_line.h"
#include "forms/next_text.h"
#include "forms/texts.h"

namespace qm {

namespace {

using namespace std::chrono;
using Kind = ControlRequest::Kind;

struct RequestName {
    std::string_view word;
    Kind kind;
};
constexpr std::array kRequests{
    RequestName{"pause", Kind::Pause},        RequestName{"resume", Kind::Resume},
    RequestName{"skip-next", Kind::SkipNext}, RequestName{"postpone", Kind::Postpone},
    RequestName{"status", Kind::Status},      RequestName{"when-exits", Kind::WhenExits},
};
inline constexpr std::string_view kJson = "json";

inline constexpr std::string_view kPaused = "一時停止しました";
inline constexpr std::string_view kAlreadyPaused = "既に一時停止しています";
inline constexpr std::string_view kResumed = "再開しました";
inline constexpr std::string_view kAlreadyRunning = "既に動作しています";
inline constexpr std::string_view kSkipped = "次回の予定を中止しました: ";
// The minutes between these, then the new moment and the entry.
inline constexpr std::string_view kPostponedBefore = "次回の予定を";
inline constexpr std::string_view kPostponedAfter = "分延期しました: ";
// In the status's parentheses after the time left: the first, the moment the file gives, the second.
inline constexpr std::string_view kPostponedFromBefore = "、";
inline constexpr std::string_view kPostponedFromAfter = "から延期";
inline constexpr std::string_view kUnknownRequest = "分からない要求です: ";
// The program waited for, in brackets, then these.
inline constexpr std::string_view kWaitingAfter = "が終了したら";
inline constexpr std::string_view kWillDo = "します";
inline constexpr std::string_view kNotRunning = "は動いていません";
inline constexpr std::string_view kWaitCancelled = "終了待ちを中止しました: ";


std::string_view firstWord(std::string_view& rest) {
    const std::size_t space = rest.find(' ');
    const std::string_view word = rest.substr(0, space);
    rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    return word;
}

// `text` as a JSON string: quotes, backslashes and control characters escaped, the rest as it is.
std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out.append(1, '\\').append(1, c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// The next entry as --next shows it: its moment, then the entry.
std::string nextText(LocalTime moment, const NextDue& next) {
    return momentText(moment) + " " + next.entry;
}

std::string quoted(std::string_view target) { return "「" + std::string(target) + "」"; }

std::string statusText(bool paused, const NextDue* next, LocalTime moment, LocalTime now,
                       const std::optional<Schedule::WhenExits>& exits) {
    std::string text(paused ? kPausedTip : kRunningTip);
    text += "\n";
    // The entry due next, then the wait for a program's end, whose moment nobody knows.
    const std::string waiting = exits ? afterExitText(exits->target, exits->method) + "\n" : std::string();
    if (!next) return text.append(exits ? waiting : std::string(kNothingDue) + "\n");
    text.append(kNextPrefix).append(momentText(moment));
    if (const std::string method = methodShown(next->method); !method.empty())
        text.append(" ").append(method);
    text.append(kLeftOpen).append(timeLeft(moment, now).text);
    if (next->postponedFrom)
        text.append(kPostponedFromBefore)
            .append(momentText(*next->postponedFrom))
            .append(kPostponedFromAfter);
    return text.append(kLeftClose).append("\n").append(waiting);
}

// {"state": "running" or "paused", "next": null or {"date", "time", "method" (its --method name, or
// null for a word that names none), "word", "entry", "seconds_left", "postponed",
// "postponed_from" (null, or "YYYY-MM-DD HH:MM")}, "when_exits": null or {"target", "method"}}:
// the keys the man page lists.
std::string statusJson(bool paused, const NextDue* next, LocalTime moment, LocalTime now,
                       const std::optional<Schedule::WhenExits>& exits) {
    const std::string waiting = ", \"when_exits\": " +
                                (exits ? "{\"target\": " + jsonString(exits->target) + ", \"method\": " +
                                             jsonString(infoOf(*exits->method.method).commandName) + "}"
                                       : std::string("null")) +
                                "}\n";
    std::string text = std::string("{\"state\": \"") + (paused ? "paused" : "running") + "\", \"next\": ";
    if (!next) return text + "null" + waiting;
    const std::string at = momentText(moment);
    text +=
        "{\"date\": " + jsonString(at.substr(0, 10)) + ", \"time\": " + jsonString(at.substr(11)) +
        ", \"method\": " +
        (next->method.method ? jsonString(infoOf(*next->method.method).commandName) : std::string("null")) +
        ", \"word\": " + jsonString(next->method.word) + ", \"entry\": " + jsonString(next->entry) +
        ", \"seconds_left\": " + std::to_string((moment - now).count()) +
        ", \"postponed\": " + (next->postponedFrom ? "true" : "false") + ", \"postponed_from\": " +
        (next->postponedFrom ? jsonString(momentText(*next->postponedFrom)) : std::string("null")) + "}" + waiting;
    return text;
}

}  // namespace

std::string momentText(LocalTime moment) {
    const local_days date = floor<days>(moment);
    const year_month_day ymd{date};
    const hh_mm_ss time{floor<minutes>(moment - date)};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()));
    return text;
}

std::string requestLine(const ControlRequest& request) {
    for (const RequestName& r : kRequests) {
        if (r.kind != request.kind) continue;
        std::string line(r.word);
        if (request.kind == Kind::WhenExits)
            line.append(" ").append(infoOf(request.method).commandName).append(" ").append(request.target);
        if (request.kind == Kind::Postpone) line.append(" ").append(std::to_string(request.minutes));
        if (request.kind == Kind::Status && request.json) line.append(" ").append(kJson);
        return line;
    }
    return {};
}

std::optional<ControlRequest> parseRequest(std::string_view line) {
    const std::string_view word = firstWord(line);
    for (const RequestName& r : kRequests) {
        if (r.word != word) continue;
        ControlRequest request{.kind = r.kind};
        if (r.kind == Kind::WhenExits) {
            const std::optional<ExitMethod> method = methodNamed(firstWord(line));
            if (!method || line.empty() || line.find('\n') != std::string_view::npos) return std::nullopt;
            request.method = *method;
            request.target = line;
            return request;
        }
        if (r.kind == Kind::Postpone) {
            const auto [end, error] =
                std::from_chars(line.data(), line.data() + line.size(), request.minutes);
            if (error != std::errc() || end != line.data() + line.size() || request.minutes < 1 ||
                request.minutes > kPostponeAtMost)
                return std::nullopt;
            return request;
        }
        request.json = r.kind == Kind::Status && line == kJson;
        if (!line.empty() && !request.json) return std::nullopt;
        return request;
    }
    return std::nullopt;
}

std::string answerLine(const ControlAnswer& answer) {
    return std::to_string(answer.status) + "\n" + answer.text;
}

std::optional<ControlAnswer> parseAnswer(std::string_view line) {
    const std::size_t feed = line.find('\n');
    if (feed == 0 || feed == std::string_view::npos) return std::nullopt;
    ControlAnswer answer;
    const auto [end, error] = std::from_chars(line.data(), line.data() + feed, answer.status);
    if (error != std::errc() || end != line.data() + feed) return std::nullopt;
    answer.text = line.substr(feed + 1);
    return answer;
}

ControlAnswer answerRequest(std::string_view line, Controlled& program) {
    const std::optional<ControlRequest> request = parseRequest(line);
    if (!request) return {kCommandRefused, std::string(kUnknownRequest).append(line).append("\n")};
    Schedule& schedule = program.selection();
    // Paused, the due check sleeps and its choice may lie behind: what would come next is chosen now.
    if (program.paused() && request->kind != Kind::Pause && request->kind != Kind::Resume)
        schedule.selectNextDue();
    const LocalTime now = program.now();
    const NextDue* next = schedule.ahead(now);
    const LocalTime moment = schedule.nextDueMoment();
    switch (request->kind) {
        case Kind::Pause:
            return {kCommandDone, std::string(program.setPaused(true) ? kPaused : kAlreadyPaused) + "\n"};
        case Kind::Resume:
            return {kCommandDone, std::string(program.setPaused(false) ? kResumed : kAlreadyRunning) + "\n"};
        case Kind::Status:
            return {kCommandDone, request->json
                                      ? statusJson(program.paused(), next, moment, now, schedule.whenExits())
                                      : statusText(program.paused(), next, moment, now, schedule.whenExits())};
        case Kind::WhenExits:
            if (!program.waitForExit(request->target, request->method))
                return {kCommandNothingAhead, quoted(request->target).append(kNotRunning) + "\n"};
            return {kCommandDone, quoted(request->target) + std::string(kWaitingAfter) +
                                      std::string(optionCaptionOf(request->method)) + std::string(kWillDo) + "\n"};
        case Kind::SkipNext:
        case Kind::Postpone:
            break;
    }
    // A wait for a program's end is the one-time thing the user asked for last: it goes first.
    if (request->kind == Kind::SkipNext && schedule.whenExits()) {
        const std::string target = schedule.whenExits()->target;
        program.cancelWaitForExit();
        return {kCommandDone, std::string(kWaitCancelled) + target + "\n"};
    }
    if (!next) return {kCommandNothingAhead, std::string(kNothingDue) + "\n"};
    const NextDue occurrence = *next;
    if (request->kind == Kind::SkipNext) {
        if (!schedule.skip(moment)) return {kCommandNothingAhead, std::string(kNothingDue) + "\n"};
        return {kCommandDone, std::string(kSkipped) + nextText(moment, occurrence) + "\n"};
    }
    if (!schedule.postpone(moment, minutes{request->minutes}))
        return {kCommandNothingAhead, std::string(kNothingDue) + "\n"};
    return {kCommandDone, std::string(kPostponedBefore) + std::to_string(request->minutes) +
                              std::string(kPostponedAfter) +
                              nextText(moment + minutes{request->minutes}, occurrence) + "\n"};
}

}  // namespace qm
