// The command line: what each command prints and writes, and that every refusal is one line on
// standard error, status 2, with the schedule file's bytes as they were.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "platform/os_services.h"
#include "schedule/schedule_file.h"
#include "tests/support/fake_clock.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/temp_folder.h"

namespace qm {
namespace {

using namespace std::chrono;
using Lines = std::vector<std::string>;

constexpr const char* kPath = "/prog/Dtddta.wet";
// Monday 7 December 2026, 12:00:20.
const LocalTime kNow = test::at(2026y / December / 7, 12, 0, 20);

enum class Fault { None, Reads, Saves, Lock };

struct Case {
    const char* what;
    std::vector<std::string> args;
    std::optional<Lines> before;  // the file's lines; nullopt: no file
    int status = kCommandDone;
    std::string out;             // all of standard output
    std::string err;             // part of the one line on standard error; empty: nothing there
    std::optional<Lines> after;  // the file's lines after; nullopt: its bytes as before
    Fault fault = Fault::None;
    std::optional<LocalTime> now = std::nullopt;  // the clock; nullopt: kNow
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.what; }  // not its bytes, in test lists

const Lines kMixed{"26年12月01日 09時00分　再起動", "毎日実行　　　　22時30分　ｼｬｯﾄﾀﾞｳﾝ", "26年12月08日 07時00分　ログオフ"};

const Case kCases[] = {
    // Reading.
    {"list marks the entry due next", {"--list"}, kMixed, 0,
     "  26年12月01日 09時00分　再起動\n* 毎日実行　　　　22時30分　ｼｬｯﾄﾀﾞｳﾝ\n  26年12月08日 07時00分　ログオフ\n"},
    {"list of no file", {"--list"}, std::nullopt, 0, ""},
    {"next: today's every-day entry", {"--next"}, kMixed, 0, "2026-12-07 22:30 毎日実行　　　　22時30分　ｼｬｯﾄﾀﾞｳﾝ\n"},
    {"next: an every-day entry passed today comes round tomorrow, before a later dated one", {"--next"},
     Lines{"26年12月09日 08時00分　再起動", "平日実行　　　　07時30分　ロック"}, 0, "2026-12-08 07:30 平日実行　　　　07時30分　ロック\n"},
    {"next: a weekly entry on its day, the weekend's on Saturday", {"--next"},
     Lines{"週末実行　　　　06時00分　再起動", "毎週木曜　　　　23時00分　スリープ"}, 0, "2026-12-10 23:00 毎週木曜　　　　23時00分　スリープ\n"},
    {"next: the first of two at one minute", {"--next"},
     Lines{"26年12月07日 13時00分　再起動", "毎日実行　　　　13時00分　ログオフ"}, 0, "2026-12-07 13:00 26年12月07日 13時00分　再起動\n"},
    {"next: only the past", {"--next"}, Lines{"26年12月07日 12時00分　再起動", "junk"}, 0, "次に実行される予定はありません\n"},
    {"version", {"--version"}, std::nullopt, 0,
     "QuietusMachine   ver1.0.01 (" QM_VERSION ")\nCopyright (c) 2026 QuietusMachine developers\n"
     "MIT ライセンスです。詳しくは LICENSE をご覧下さい。\n"},
    {"where: the schedule's folder, not the program's", {"--where"}, std::nullopt, 0, "/prog/Dtddta.wet\n"},

    // Adding and deleting, saved as 設定 saves.
    {"add a line as it stands", {"--add", "26年12月24日 23時59分　休止状態"}, kMixed, 0,
     "予定を追加しました: 26年12月24日 23時59分　休止状態\n", "",
     Lines{kMixed[0], kMixed[1], kMixed[2], "26年12月24日 23時59分　休止状態"}},
    {"add by date to no file", {"--add", "--method", "forced", "--date", "1999-01-02", "--at", "7:05"}, std::nullopt, 0,
     "予定を追加しました: 99年01月02日 07時05分　強制終了\n", "", Lines{"99年01月02日 07時05分　強制終了"}},
    {"add weekly by the day's character", {"--add", "--at", "06:00", "--weekly", "金", "--method", "shutdown"},
     Lines{}, 0, "予定を追加しました: 毎週金曜　　　　06時00分　ｼｬｯﾄﾀﾞｳﾝ\n", "", Lines{"毎週金曜　　　　06時00分　ｼｬｯﾄﾀﾞｳﾝ"}},
    {"add working days", {"--add", "--weekdays", "--at", "23:05", "--method", "hibernate"}, Lines{}, 0,
     "予定を追加しました: 平日実行　　　　23時05分　休止状態\n", "", Lines{"平日実行　　　　23時05分　休止状態"}},
    {"add weekly by the day's name", {"--add", "--weekly", "sat", "--at", "06:00", "--method", "restart"}, Lines{}, 0,
     "予定を追加しました: 毎週土曜　　　　06時00分　再起動\n", "", Lines{"毎週土曜　　　　06時00分　再起動"}},
    {"values after =", {"--add", "--at=06:00", "--weekend", "--method=lock"}, Lines{}, 0,
     "予定を追加しました: 週末実行　　　　06時00分　ロック\n", "", Lines{"週末実行　　　　06時00分　ロック"}},
    {"add an idle entry", {"--add", "--idle", "12:00", "--method", "lock"}, Lines{}, 0,
     "予定を追加しました: 無操作時　　　　12時00分　ロック\n", "", Lines{"無操作時　　　　12時00分　ロック"}},
    {"list: an idle entry is never the next", {"--list"}, Lines{"無操作時　　　　00時01分　ロック"}, 0,
     "  無操作時　　　　00時01分　ロック\n"},
    {"the line after =", {"--add=毎日実行　　　　10時00分　再起動"}, Lines{}, 0,
     "予定を追加しました: 毎日実行　　　　10時00分　再起動\n", "", Lines{"毎日実行　　　　10時00分　再起動"}},
    {"delete past entries", {"--delete-past"}, Lines{"26年12月07日 12時00分　再起動", "x", kMixed[1], kMixed[2]}, 0,
     "過去の日付の予定を1件削除しました\n", "", Lines{"x", kMixed[1], kMixed[2]}},

    // Refused: nothing written.
    {"an impossible date", {"--add", "26年02月29日 12時00分　再起動"}, kMixed, 2, "", "有り得ない日付です"},
    {"an impossible hour", {"--add", "毎日実行　　　　24時00分　再起動"}, kMixed, 2, "", "有り得ない時刻です"},
    {"an unknown method word", {"--add", "26年12月05日 12時00分　再起動 "}, kMixed, 2, "", "終了方法が正しくありません"},
    {"an ASCII space where the windows write an ideographic one", {"--add", "26年12月05日 12時00分 再起動"}, kMixed,
     2, "", "設定画面が書く形と違います"},
    {"not an entry", {"--add", "毎日実行　　　　7時00分　再起動"}, kMixed, 2, "", "予定の形になっていません"},
    {"a year two digits cannot hold this year", {"--add", "--at", "10:00", "--date", "2076-01-01", "--method", "restart"},
     kMixed, 2, "", "1976年から2075年までの日付にして下さい: 2076-01-01"},
    {"2030 on the last day of 2029", {"--add", "--at", "12:00", "--date", "2030-01-05", "--method", "restart"},
     Lines{}, 0, "予定を追加しました: 30年01月05日 12時00分　再起動\n", "", Lines{"30年01月05日 12時00分　再起動"},
     Fault::None, test::at(2029y / December / 31, 12, 0, 0)},
    {"2076 on the last day of 2075", {"--add", "76年01月01日 00時00分　再起動"}, Lines{}, 0,
     "予定を追加しました: 76年01月01日 00時00分　再起動\n", "", Lines{"76年01月01日 00時00分　再起動"}, Fault::None,
     test::at(2075y / December / 31, 12, 0, 0)},
    {"next: 30年 is 2030 from the last day of 2029", {"--next"}, Lines{"30年01月01日 00時00分　再起動"}, 0,
     "2030-01-01 00:00 30年01月01日 00時00分　再起動\n", "", std::nullopt, Fault::None,
     test::at(2029y / December / 31, 23, 59, 0)},
    {"1975 is out of reach in 2026", {"--add", "--at", "10:00", "--date", "1975-12-31", "--method", "restart"},
     kMixed, 2, "", "1976年から2075年まで"},
    {"a date that does not exist", {"--add", "--at", "10:00", "--date", "2026-04-31", "--method", "restart"}, kMixed,
     2, "", "日付が正しくありません"},
    {"an hour past 23", {"--add", "--at", "24:00", "--every-day", "--method", "restart"}, kMixed, 2, "", "時刻が正しくありません"},
    {"an unknown method", {"--add", "--at", "10:00", "--every-day", "--method", "reboot"}, kMixed, 2, "", "reboot"},
    {"an unknown day", {"--add", "--at", "10:00", "--weekly", "月曜", "--method", "lock"}, kMixed, 2, "", "曜日が正しくありません"},
    {"a missing value", {"--add", "--at", "--every-day", "--method", "lock"}, kMixed, 2, "", "--at の値がありません"},
    {"nothing to add", {"--add"}, kMixed, 2, "", "--add の値がありません"},
    {"no day", {"--add", "--at", "10:00", "--method", "lock"}, kMixed, 2, "", "どれか一つ"},
    {"two days", {"--add", "--at", "10:00", "--weekend", "--every-day", "--method", "lock"}, kMixed, 2, "", "どれか一つ"},
    {"no method", {"--add", "--at", "10:00", "--weekend"}, kMixed, 2, "", "--method で"},
    {"no idle time", {"--add", "--idle", "00:00", "--method", "lock"}, kMixed, 2, "", "無操作の時間が正しくありません (00:01〜12:00): 00:00"},
    {"idle past twelve hours", {"--add", "--idle", "12:01", "--method", "lock"}, kMixed, 2, "", "(00:01〜12:00): 12:01"},
    {"idle and a time of day", {"--add", "--at", "10:00", "--idle", "00:30", "--method", "lock"}, kMixed, 2, "", "--idle と --at"},
    {"idle and a day", {"--add", "--idle", "00:30", "--every-day", "--method", "lock"}, kMixed, 2, "", "どれか一つ"},
    {"an idle line out of range", {"--add", "無操作時　　　　00時00分　ロック"}, kMixed, 2, "", "有り得ない時刻です"},
    {"an unknown option after the entry", {"--add", "毎日実行　　　　10時00分　再起動", "--now"}, kMixed, 2, "", "不明なオプションです: --now"},
    {"an argument after a command that takes none", {"--list", "all"}, kMixed, 2, "", "余分な引数です: all"},
    {"a mistyped command", {"--lsit"}, kMixed, 2, "", "不明なオプションです: --lsit"},
    {"a short option of no command", {"-x", "--list"}, kMixed, 2, "", "不明なオプションです: -x"},
    {"an option of another back end", {"--install-desktop-entry"}, kMixed, 2, "", "不明なオプションです: --install-desktop-entry"},
    {"a value given to a command that takes none", {"--list=all"}, kMixed, 2, "", "余分な引数です: all"},
    {"an unreadable file is not listed", {"--list"}, kMixed, 2, "", "予定ファイルを読み込めません", std::nullopt, Fault::Reads},
    {"an unreadable file is not saved over", {"--add", "毎日実行　　　　10時00分　再起動"}, kMixed, 2, "",
     "読み込めなかった予定ファイルは上書きしません", std::nullopt, Fault::Reads},
    {"nor tidied", {"--delete-past"}, kMixed, 2, "", "読み込めなかった", std::nullopt, Fault::Reads},
    {"a failed save", {"--delete-past"}, kMixed, 2, "", "設定を保存できませんでした: disk full", std::nullopt, Fault::Saves},
    {"another writer keeps the lock", {"--add", "毎日実行　　　　10時00分　再起動"}, kMixed, 2, "",
     "設定を保存できませんでした: 「/prog/Dtddta.wet」は他のプログラムが保存中です", std::nullopt, Fault::Lock},
    {"nor tidies while it keeps it", {"--delete-past"}, kMixed, 2, "", "保存中です", std::nullopt, Fault::Lock},

    // The running program's options: checked here, refused before anything is sent (status 2); with
    // no program to reach (no channel here), status 3.
    {"status with no running program", {"--status", "--json"}, kMixed, 3, "", "動作中のQuietusMachineが見つかりません"},
    {"postpone with no running program", {"--postpone=1440"}, kMixed, 3, "", "見つかりません"},
    {"postpone without minutes", {"--postpone"}, kMixed, 2, "", "--postpone の値がありません"},
    {"postpone by nothing", {"--postpone", "0"}, kMixed, 2, "", "1から1440までの分を指定して下さい: 0"},
    {"postpone past a day", {"--postpone", "1441"}, kMixed, 2, "", "1から1440まで"},
    {"postpone by a word", {"--postpone", "10分"}, kMixed, 2, "", "1から1440まで"},
    {"postpone backwards", {"--postpone=-5"}, kMixed, 2, "", "1から1440まで"},
    {"postpone twice", {"--postpone", "10", "20"}, kMixed, 2, "", "余分な引数です: 20"},
    {"status in another form", {"--status", "--xml"}, kMixed, 2, "", "不明なオプションです: --xml"},
    {"skip something named", {"--skip-next", "all"}, kMixed, 2, "", "余分な引数です: all"},
    {"wait for a program's end with no running program", {"--when-exits", "1234", "--method", "shutdown"}, kMixed, 3, "",
     "見つかりません"},
    {"wait for nothing", {"--when-exits", "--method", "lock"}, kMixed, 2, "", "--when-exits の値がありません"},
    {"wait with no method", {"--when-exits", "render"}, kMixed, 2, "", "--method で終了方法を指定して下さい"},
    {"wait with an unknown method", {"--when-exits", "render", "--method", "halt"}, kMixed, 2, "", "halt"},
    {"wait for two programs", {"--when-exits", "render", "backup", "--method", "lock"}, kMixed, 2, "", "余分な引数です: backup"},
};

class CommandLine : public ::testing::TestWithParam<Case> {
protected:
    std::string bytes(const Lines& lines) const {
        std::string text;
        for (const std::string& line : lines) text.append(line).append("\r\n");
        return codec->encode(text).value();
    }
    int run(const std::vector<std::string>& args, std::string_view backEndHelp = {}) {
        const CommandLineNeeds needs{clock, *codec, files, {.folder = "/opt/qm", .scheduleFolder = "/prog"}, "quietus",
                                     backEndHelp};
        return runCommandLine(args, needs, {[this](std::string_view s) { out += s; }, [this](std::string_view s) { err += s; }});
    }

    test::FakeClock clock{kNow};
    std::unique_ptr<TextCodec> codec = makeShiftJisCodec();
    test::MemoryFileSystem files;
    std::string out, err;
};

TEST_P(CommandLine, PrintsWritesOrRefuses) {
    const Case& c = GetParam();
    if (c.now) clock.set(*c.now);
    if (c.before) files.files[kPath] = bytes(*c.before);
    const auto original = files.files;
    files.failReads = c.fault == Fault::Reads;
    files.failSaves = c.fault == Fault::Saves;
    if (c.fault == Fault::Lock) files.lockRefusal = "「/prog/Dtddta.wet」は他のプログラムが保存中です";

    EXPECT_EQ(run(c.args), c.status);
    EXPECT_EQ(out, c.out);
    if (c.err.empty()) {
        EXPECT_EQ(err, "");
    } else {
        EXPECT_NE(err.find(c.err), std::string::npos) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line: " << err;
    }
    if (c.after) {
        EXPECT_EQ(files.files[kPath], bytes(*c.after));
    } else {
        EXPECT_EQ(files.files, original);
        EXPECT_EQ(files.saves, 0);
    }
    EXPECT_EQ(files.savesWithoutLock, 0);
    EXPECT_EQ(files.locksHeld, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLine, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string name = std::to_string(info.index) + "_";
    for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
});

// Writers at once on the real file system lose nothing: every add that says it succeeded is in
// the file, once, and every add that was refused is not.
TEST(CommandLineWriters, ManyAtOnceKeepEveryAddThatSucceededAndNoneThatFailed) {
    constexpr int kWriters = 8, kAddsEach = 6;
    test::TempFolder temp;
    std::vector<std::string> entries;
    for (int i = 0; i < kWriters * kAddsEach; ++i) {
        char entry[64];
        std::snprintf(entry, sizeof entry, "29年12月%02d日 %02d時%02d分　再起動", 1 + i / 24, i % 24, i);
        entries.push_back(entry);
    }
    std::vector<int> statuses(entries.size(), -1);
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&, w] {
            const test::FakeClock clock{kNow};
            const auto codec = makeShiftJisCodec();
            const auto files = makeFileSystem();
            const ProgramFolder folder{test::utf8(temp.folder()),
                                       static_cast<char>(std::filesystem::path::preferred_separator)};
            const CommandLineNeeds needs{clock, *codec, *files, folder, "quietus"};
            for (int i = w; i < static_cast<int>(entries.size()); i += kWriters)
                statuses[i] = runCommandLine(std::vector<std::string>{"--add", entries[i]}, needs,
                                             {[](std::string_view) {}, [](std::string_view) {}});
        });
    for (std::thread& writer : writers) writer.join();

    const auto codec = makeShiftJisCodec();
    const auto files = makeFileSystem();
    const Lines inFile = ScheduleFile(*files, *codec, temp.path("Dtddta.wet")).readLines();
    Lines succeeded;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        ASSERT_TRUE(statuses[i] == kCommandDone || statuses[i] == kCommandRefused) << entries[i];
        if (statuses[i] == kCommandDone) succeeded.push_back(entries[i]);
    }
    EXPECT_FALSE(succeeded.empty());
    EXPECT_EQ(std::multiset<std::string>(inFile.begin(), inFile.end()),
              std::multiset<std::string>(succeeded.begin(), succeeded.end()));
}

TEST_F(CommandLine, TheHelpListsEveryOptionAndTheBackEndsOwn) {
    EXPECT_EQ(run({"--help"}, "  --install-desktop-entry\n"), kCommandDone);
    for (const char* option : {"--list", "--next", "--add", "--at", "--date", "--every-day", "--weekdays", "--weekend",
                               "--weekly", "--method", "--delete-past", "--where", "--help", "--version", "--install-desktop-entry",
                               "--pause", "--resume", "--skip-next", "--postpone", "--status", "--json", "--idle", "--when-exits",
                               "hibernate", "「*」"})
        EXPECT_NE(out.find(option), std::string::npos) << option;
    EXPECT_TRUE(out.starts_with("使い方: quietus [オプション]\n"));
    // -h, and --help after anything, even a mistake, answer alike.
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-h"}, {"--list", "--help"},
                                                 {"--add", "--at", "--help"}, {"--lsit", "-h"}}) {
        const std::string help = std::exchange(out, "");
        EXPECT_EQ(run(args, "  --install-desktop-entry\n"), kCommandDone) << args[0];
        EXPECT_EQ(out, help) << args[0];
    }
    EXPECT_EQ(err, "");
}

// The back end's own options, and text that never reached standard output, which is no success.
TEST_F(CommandLine, BackEndCommandsAndAFailedOutput) {
    std::string failure;
    const BackEndCommand own[] = {{"--own", [&](const CommandOutput& o) { o.out("done\n"); return failure; }}};
    bool outFailed = false;
    const auto runOwn = [&](std::vector<std::string> args) {
        const CommandLineNeeds needs{clock, *codec, files, {.folder = "/opt/qm", .scheduleFolder = "/prog"}, "quietus",
                                     {}, own};
        return runCommandLine(args, needs, {[this](std::string_view s) { out += s; },
                                            [this](std::string_view s) { err += s; }, [&] { return outFailed; }});
    };
    EXPECT_EQ(runOwn({"--own"}), kCommandDone);
    EXPECT_EQ(runOwn({"--own", "x"}), kCommandRefused);
    failure = "書き込めませんでした: /x";
    EXPECT_EQ(runOwn({"--own"}), kCommandRefused);
    EXPECT_EQ(out, "done\ndone\n");
    EXPECT_EQ(err, "QuietusMachine: 余分な引数です: x\nQuietusMachine: 書き込めませんでした: /x\n");
    outFailed = true;
    EXPECT_EQ(runOwn({"--version"}), kCommandRefused);
    EXPECT_TRUE(err.ends_with("\nQuietusMachine: 標準出力に書き込めませんでした\n")) << err;
}

// Any first option is the command line's, a mistyped one too, so that it never starts the tray
// program; only the toolkit's own options, and arguments that are no option, do.
TEST(CommandLineChoice, EveryOptionButTheToolkitsComesToTheCommandLine) {
    using Args = std::vector<std::string>;
    constexpr std::string_view kToolkit[] = {"-platform", "-style"};
    for (const Args& command : {Args{"--next"}, Args{"--add", "--at"}, Args{"--lsit"}, Args{"-h"}, Args{"-V"},
                                Args{"--at=12:00"}, Args{"--list", "--help"}, Args{"--install-desktop-entry"}, Args{"-"},
                                Args{"-platformx"}})
        EXPECT_TRUE(isCommandLine(command, kToolkit)) << command[0];
    for (const Args& tray : {Args{}, Args{"-platform", "offscreen"}, Args{"--platform", "xcb"}, Args{"-style=fusion"},
                             Args{"x", "--list"}})
        EXPECT_FALSE(isCommandLine(tray, kToolkit)) << (tray.empty() ? "" : tray[0]);
    EXPECT_TRUE(isCommandLine(Args{"-platform", "offscreen"})) << "Windows passes nothing through";
}

}  // namespace
}  // namespace qm
