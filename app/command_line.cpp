// The command line: which command the arguments name, and each command's work on the schedule
// file, done as the settings window does it.
#include "app/command_line.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

#include "app/control.h"
#include "app/entry_request.h"
#include "forms/about_window.h"
#include "forms/texts.h"
#include "schedule/exit_method.h"
#include "schedule/schedule_entry.h"
#include "schedule/schedule_file.h"
#include "schedule/schedule_list.h"

namespace qm {

namespace {

using namespace std::chrono;

// The last five reach the running program.
enum class Command { List, Next, Add, DeletePast, Where, Help, Version, Pause, Resume, SkipNext, Postpone, Status, WhenExits };

struct CommandName {
    std::string_view option;
    Command command;
};
constexpr std::array kCommands{
    CommandName{"--list", Command::List},   CommandName{"--next", Command::Next},
    CommandName{"--add", Command::Add},     CommandName{"--delete-past", Command::DeletePast},
    CommandName{"--where", Command::Where}, CommandName{"--help", Command::Help},
    CommandName{"-h", Command::Help},       CommandName{"--version", Command::Version},
    CommandName{"-V", Command::Version},    CommandName{"--pause", Command::Pause},
    CommandName{"--resume", Command::Resume}, CommandName{"--skip-next", Command::SkipNext},
    CommandName{"--postpone", Command::Postpone}, CommandName{"--status", Command::Status},
    CommandName{"--when-exits", Command::WhenExits},
};
inline constexpr std::string_view kJsonOption = "--json";
inline constexpr std::string_view kBadMinutes = "--postpone には1から1440までの分を指定して下さい: ";
inline constexpr std::string_view kNoProgram = "動作中のQuietusMachineが見つかりません";

// The line of --list that names the entry due next starts with the first marker, every other
// line with the second, so the entries stay in one column.
inline constexpr std::string_view kNextMarker = "* ";
inline constexpr std::string_view kOtherMarker = "  ";
inline constexpr std::string_view kAdded = "予定を追加しました: ";
inline constexpr std::string_view kDeletedPastBefore = "過去の日付の予定を";
inline constexpr std::string_view kDeletedPastAfter = "件削除しました";
inline constexpr std::string_view kUnreadable = "予定ファイルを読み込めません: ";
inline constexpr std::string_view kNotOverUnreadable = "読み込めなかった予定ファイルは上書きしません: ";
inline constexpr std::string_view kChangedMeanwhile =
    "予定ファイルが読み込んだ後に他のプログラムで変更されたため、書き込みませんでした。もう一度実行して下さい。";
inline constexpr std::string_view kSaveFailed = "設定を保存できませんでした: ";
inline constexpr std::string_view kOutputFailed = "標準出力に書き込めませんでした";

inline constexpr std::string_view kCopyright = "Copyright (c) 2026 QuietusMachine developers";
inline constexpr std::string_view kLicence = "MIT ライセンスです。詳しくは LICENSE をご覧下さい。";

inline constexpr std::string_view kUsageBefore = "使い方: ";
inline constexpr std::string_view kUsageAfter = " [オプション]\n";
inline constexpr std::string_view kHelp =
    "オプションなしで起動すると、タスクトレイに常駐します。予定は予定ファイル Dtddta.wet にあり、\n"
    "オプションはそれを読み書きして、すぐに終わります。予定ファイルは実行ファイルと同じフォルダーに\n"
    "あればそれを、なければ、インストールされたプログラムではユーザーごとのフォルダーのものを使います。\n"
    "\n"
    "  --list          予定を一行に一つずつ表示します。次に実行される予定には、行頭に「*」が付きます。\n"
    "  --next          次に実行される予定を「YYYY-MM-DD HH:MM 予定」の形で表示します。\n"
    "  --add \"予定\"    設定画面が書く形の予定を一行、そのまま追加します。\n"
    "                  例: --add \"26年12月05日 12時00分　再起動\"\n"
    "  --add --at HH:MM 日 --method 終了方法\n"
    "                  予定を作って追加します。日は次のどれか一つです:\n"
    "                  --date YYYY-MM-DD (今年の50年前から49年後まで)、--every-day (毎日実行)、\n"
    "                  --weekdays (平日実行)、--weekend (週末実行)、--weekly 曜日 (mon〜sun 又は 月〜日)\n"
    "  --add --idle HH:MM --method 終了方法\n"
    "                  操作のない時間が HH:MM (00:01〜12:00) 続いたら実行する予定 (無操作時) を追加します。\n";
// Then the methods' names (methodNames()), then the rest.
inline constexpr std::string_view kHelpAfterMethods =
    "  --delete-past   過去の日付の予定を削除して保存します (「過去の日付だけ削除」と「設定」)。\n"
    "  --where         予定ファイルの場所を表示します。\n"
    "  --pause         動作中のプログラムを一時停止します。--resume で再開します。\n"
    "  --skip-next     動作中のプログラムの次回の予定を一回だけ中止します。\n"
    "  --postpone 分   動作中のプログラムの次回の予定を一回だけ遅らせます (1〜1440分)。\n"
    "                  中止と延期は動作中のプログラムだけが覚え、予定ファイルは変わりません。\n"
    "  --status        動作中か停止中か、次回の予定と残り時間を表示します。\n"
    "                  --status --json はプログラム向けの JSON で表示します。\n"
    "  --when-exits プロセスID又はプログラム名 --method 終了方法\n"
    "                  そのプログラムが全て終了したら、動作中のプログラムが警告を出して終了方法を\n"
    "                  実行します (一回だけ、予定ファイルは変わりません)。--skip-next で取り消します。\n"
    "  -h, --help      この説明を表示します。\n"
    "  -V, --version   バージョンを表示します。\n";
inline constexpr std::string_view kExitStatuses =
    "\n終了コード: 0 成功、1 中止又は延期する予定がない時、--when-exits のプログラムが動いていない時、\n"
    "2 指定の誤り又は予定ファイルを読み書きできない時\n"
    "(何も書き込みません)、3 動作中のプログラムに届かない時\n";

// "                  終了方法: shutdown (ｼｬｯﾄﾀﾞｳﾝ)、forced (強制終了)、restart (再起動)、\n" and the
// rest four to a line.
std::string methodNames() {
    const std::string indent(18, ' ');
    std::string text = indent + "終了方法: ";
    for (std::size_t i = 0; i < kExitMethods.size(); ++i) {
        const ExitMethodInfo& info = kExitMethods[i];
        text.append(info.commandName).append(" (").append(info.word).append(")");
        if (i + 1 == kExitMethods.size()) text.append("\n");
        else if (i % 4 == 2) text.append("、\n").append(indent);
        else text.append("、");
    }
    return text;
}

std::optional<Command> commandNamed(std::string_view arg) {
    for (const CommandName& c : kCommands)
        if (arg == c.option) return c.command;
    return std::nullopt;
}

// The arguments with each "--option=value" as "--option" "value", as the commands read them. No
// value the options take begins with "--", so a value is never taken for an option.
std::vector<std::string> valuesApart(std::span<const std::string> args) {
    std::vector<std::string> apart;
    for (const std::string& arg : args) {
        const std::size_t equals = arg.find('=');
        if (arg.starts_with("--") && equals != std::string::npos && equals > 2) {
            apart.push_back(arg.substr(0, equals));
            apart.push_back(arg.substr(equals + 1));
        } else {
            apart.push_back(arg);
        }
    }
    return apart;
}

// Whether `arg` is one of `names` ("-platform"), with one dash or two, its value after "=" or not.
bool named(std::string_view arg, std::span<const std::string_view> names) {
    if (arg.starts_with("--")) arg.remove_prefix(1);
    const std::string_view name = arg.substr(0, arg.find('='));
    for (std::string_view n : names)
        if (name == n) return true;
    return false;
}

struct Upcoming {
    std::size_t row = 0;
    LocalTime moment{};
};

// The entry the resident program warns for next if it runs, unpaused, from now on: the earliest
// moment not before now, the first line winning a tie, as its selection chooses. An entry of the
// every-day shape comes round on each of its days, since the program selects again at midnight;
// a week holds every day such an entry can name.
std::optional<Upcoming> nextToFire(const ScheduleList& list, LocalTime now) {
    const local_days today = floor<days>(now);
    std::optional<Upcoming> best;
    for (std::size_t row = 0; row < list.size(); ++row) {
        const std::optional<EntryFields> fields = parseEntryFields(list.item(row));
        if (!fields) continue;  // neither layout: it never fires
        const int daysAhead = fields->kind == EntryKind::Dated ? 0 : 7;
        std::optional<LocalTime> moment;
        for (int d = 0; d <= daysAhead && !moment; ++d) {
            const auto m = entryMoment(*fields, today + days{d});
            if (m && *m >= now) moment = m;
        }
        if (moment && (!best || *moment < best->moment)) best = Upcoming{row, *moment};
    }
    return best;
}

// One command's run: the schedule file and where the text goes.
class Run {
public:
    Run(const CommandLineNeeds& needs, const CommandOutput& output)
        : needs_(needs),
          output_(output),
          file_(needs.files, needs.codec, needs.folder.schedulePath(kScheduleFileName)) {}

    int list();
    int next();
    int add(std::span<const std::string> args);
    int deletePast();
    int where();
    int help();
    int version();
    // Sends `request` to the running program and shows its answer.
    int control(const ControlRequest& request);

    // One line on standard error, whatever line ends the reason held.
    int refuse(std::string_view why) {
        std::string line = std::string(texts::kProgramTitle).append(": ").append(why);
        for (char& c : line)
            if (c == '\r' || c == '\n') c = ' ';
        output_.err(line + "\n");
        return kCommandRefused;
    }

private:
    // Taken before a writing command reads the file and held until its save is done, so that
    // another writer's save lands either before the read or after the save; false, refused,
    // when another writer keeps it too long.
    bool lock() {
        lock_ = file_.lock();
        if (!lock_->ok()) refuse(std::string(kSaveFailed).append(lock_->status().message));
        return lock_->ok();
    }
    // Loads the settings list as the settings window does; false, refused, when the file is
    // there but cannot be read.
    bool load(std::string_view unreadable) {
        list_.load();
        if (const auto& reason = list_.unreadable()) {
            refuse(std::string(unreadable).append(*reason));
            return false;
        }
        return true;
    }
    // As "設定" writes the list: in one step, the old file intact when it fails.
    bool save() {
        // Writers of this program wait for the lock, but another program (an editor, a
        // deployment) may have written the file since it was read here: its change is not
        // overwritten.
        if (file_.stamp() != list_.loadedFrom()) {
            refuse(kChangedMeanwhile);
            return false;
        }
        const Status saved = file_.rewriteJoined(list_.joined());
        if (!saved.ok) refuse(std::string(kSaveFailed).append(saved.message));
        return saved.ok;
    }

    const CommandLineNeeds& needs_;
    const CommandOutput& output_;
    ScheduleFile file_;
    ScheduleList list_{file_};
    std::optional<WriteLock> lock_;
};

int Run::list() {
    if (!load(kUnreadable)) return kCommandRefused;
    const auto next = nextToFire(list_, needs_.clock.now());
    // Written in pieces of a good size: a long schedule neither waits for one huge string nor
    // goes out a line at a time.
    std::string text;
    for (std::size_t row = 0; row < list_.size(); ++row) {
        text.append(next && next->row == row ? kNextMarker : kOtherMarker)
            .append(list_.item(row))
            .append("\n");
        if (text.size() >= 64 * 1024) {
            output_.out(text);
            text.clear();
        }
    }
    if (!text.empty()) output_.out(text);
    return kCommandDone;
}

int Run::next() {
    if (!load(kUnreadable)) return kCommandRefused;
    const auto next = nextToFire(list_, needs_.clock.now());
    if (!next) {
        output_.out(std::string(kNothingDue) + "\n");
    } else {
        output_.out(momentText(next->moment).append(" ").append(list_.item(next->row)).append("\n"));
    }
    return kCommandDone;
}

int Run::add(std::span<const std::string> args) {
    const RequestedEntry request =
        requestedEntry(args, year_month_day{floor<days>(needs_.clock.now())}.year());
    if (!request.ok()) return refuse(request.refusal);
    if (!lock() || !load(kNotOverUnreadable)) return kCommandRefused;
    list_.append(request.entry);
    if (!save()) return kCommandRefused;
    output_.out(std::string(kAdded).append(request.entry).append("\n"));
    return kCommandDone;
}

int Run::deletePast() {
    if (!lock() || !load(kNotOverUnreadable)) return kCommandRefused;
    const std::size_t before = list_.size();
    list_.removePast(needs_.clock.now());
    const std::size_t removed = before - list_.size();
    // "設定" writes the list whether or not anything went.
    if (!save()) return kCommandRefused;
    output_.out(std::string(kDeletedPastBefore) + std::to_string(removed) + std::string(kDeletedPastAfter) +
                "\n");
    return kCommandDone;
}

int Run::help() {
    output_.out(std::string(kUsageBefore)
                    .append(needs_.programName)
                    .append(kUsageAfter)
                    .append(kHelp)
                    .append(methodNames())
                    .append(kHelpAfterMethods)
                    .append(needs_.backEndHelp)
                    .append(kExitStatuses));
    return kCommandDone;
}

int Run::version() {
    output_.out(std::string(kProductLine) + " (" QM_VERSION ")\n" + std::string(kCopyright) + "\n" +
                std::string(kLicence) + "\n");
    return kCommandDone;
}

int Run::control(const ControlRequest& request) {
    const std::optional<std::string> answered = needs_.control ? needs_.control->send(requestLine(request)) : std::nullopt;
    const std::optional<ControlAnswer> answer = answered ? parseAnswer(*answered) : std::nullopt;
    if (!answer) {
        refuse(kNoProgram);
        return kCommandNoProgram;
    }
    if (answer->status == kCommandDone) {
        output_.out(answer->text);
    } else {
        refuse(answer->text.substr(0, answer->text.find('\n')));
    }
    return answer->status;
}

int Run::where() {
    output_.out(needs_.folder.schedulePath(kScheduleFileName) + "\n");
    return kCommandDone;
}

}  // namespace

bool isCommandLine(std::span<const std::string> args, std::span<const std::string_view> passThrough) {
    return !args.empty() && args[0].starts_with('-') && !named(args[0], passThrough);
}

namespace {

// --when-exits PID|NAME --method NAME, checked before anything is sent.
int whenExits(Run& run, std::span<const std::string> rest) {
    if (rest.empty() || rest[0].starts_with("--") || rest[0].find_first_of("\r\n") != std::string::npos)
        return run.refuse(std::string("--when-exits").append(kNoValue));
    std::optional<ExitMethod> method;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] != "--method" || method)
            return run.refuse(std::string(rest[i].starts_with("-") ? kUnknownOption : kExtraArgument) + rest[i]);
        if (i + 1 == rest.size() || rest[i + 1].starts_with("--")) return run.refuse(std::string("--method").append(kNoValue));
        if (!(method = methodNamed(rest[++i]))) return run.refuse(badMethodRefusal() + rest[i]);
    }
    if (!method) return run.refuse(kNoMethod);
    return run.control({.kind = ControlRequest::Kind::WhenExits, .method = *method, .target = rest[0]});
}

int runCommand(Run& run, std::span<const std::string> args, const CommandLineNeeds& needs,
               const CommandOutput& output) {
    // Asked for anywhere, even after a mistake, the help answers.
    for (const std::string& arg : args)
        if (commandNamed(arg) == Command::Help) return run.help();
    const std::optional<Command> command = args.empty() ? std::nullopt : commandNamed(args[0]);
    const BackEndCommand* backEnd = nullptr;
    for (const BackEndCommand& c : needs.backEndCommands)
        if (!args.empty() && args[0] == c.option) backEnd = &c;
    if (!command && !backEnd) return run.refuse(std::string(kUnknownOption).append(args.empty() ? "" : args[0]));
    const std::span<const std::string> rest = args.subspan(1);
    if (command == Command::Add) return run.add(rest);
    // Checked before anything is sent: a bad value reaches no program.
    if (command == Command::Postpone) {
        if (rest.empty()) return run.refuse(std::string("--postpone").append(kNoValue));
        int minutes = 0;
        const std::string& value = rest[0];
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), minutes);
        if (error != std::errc() || end != value.data() + value.size() || minutes < 1 || minutes > kPostponeAtMost)
            return run.refuse(std::string(kBadMinutes).append(value));
        if (rest.size() > 1)
            return run.refuse(std::string(rest[1].starts_with("-") ? kUnknownOption : kExtraArgument) + rest[1]);
        return run.control({.kind = ControlRequest::Kind::Postpone, .minutes = minutes});
    }
    if (command == Command::WhenExits) return whenExits(run, rest);
    if (command == Command::Status && !rest.empty() && rest[0] == kJsonOption && rest.size() == 1)
        return run.control({.kind = ControlRequest::Kind::Status, .json = true});
    // The other commands take nothing after them.
    if (!rest.empty())
        return run.refuse(std::string(rest[0].starts_with("-") ? kUnknownOption : kExtraArgument) + rest[0]);
    if (backEnd) {
        const std::string failed = backEnd->run(output);
        return failed.empty() ? kCommandDone : run.refuse(failed);
    }
    switch (*command) {
        case Command::List:
            return run.list();
        case Command::Next:
            return run.next();
        case Command::DeletePast:
            return run.deletePast();
        case Command::Where:
            return run.where();
        case Command::Help:
            return run.help();
        case Command::Version:
            return run.version();
        case Command::Pause:
            return run.control({.kind = ControlRequest::Kind::Pause});
        case Command::Resume:
            return run.control({.kind = ControlRequest::Kind::Resume});
        case Command::SkipNext:
            return run.control({.kind = ControlRequest::Kind::SkipNext});
        case Command::Status:
            return run.control({.kind = ControlRequest::Kind::Status});
        case Command::Add:
        case Command::Postpone:
        case Command::WhenExits:
            break;
    }
    return kCommandRefused;
}

}  // namespace

int runCommandLine(std::span<const std::string> args, const CommandLineNeeds& needs,
                   const CommandOutput& output) {
    Run run(needs, output);
    const std::vector<std::string> apart = valuesApart(args);
    const int status = runCommand(run, apart, needs, output);
    // Text that never arrived is no success, whatever the command did.
    if (status == kCommandDone && output.outFailed && output.outFailed()) return run.refuse(kOutputFailed);
    return status;
}

}  // namespace qm
