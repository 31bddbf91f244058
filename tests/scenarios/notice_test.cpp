// One-time changes in the running program: the notice's choices (as buttons, and in the window a
// click on the notice opens), skipping and postponing from outside, and the options that reach
// the running program through its control channel.
#include <functional>
#include <map>

#include "app/command_line.h"
#include "tests/scenarios/scenario.h"

namespace qm::scenarios {
namespace {

const year_month_day kDay = 1998y / December / 1;  // a Tuesday
const year_month_day kNextDay = 1998y / December / 2;

using Act = std::function<void(HeadlessApp&)>;
using Moments = std::vector<headless::VirtualTime>;

class Notice : public Scenario {
protected:
    // Second by second from `start` to `end`: the acts at their moments, and when a notice came
    // and a warning opened (each warning closed by 中止 at once, so the program stays).
    struct Seen {
        Moments notices, warnings;
    };
    Seen walk(const std::vector<std::string>& lines, headless::VirtualTime start, headless::VirtualTime end,
              const std::map<headless::VirtualTime, Act>& acts) {
        writeSchedule(lines);
        HeadlessApp& app = startAt(start);
        Seen seen;
        while (app.clock.now() < end) {
            const std::size_t notices = app.tray.notices.size();
            app.advance(1s);
            const auto now = floor<seconds>(app.clock.now());
            if (app.tray.notices.size() != notices) seen.notices.push_back(now);
            if (app.isVisible("EndMessege")) {
                seen.warnings.push_back(now);
                app.click("EndMessege", "Command2");
            }
            if (const auto act = acts.find(now); act != acts.end()) act->second(app);
        }
        return seen;
    }
};

// The options of the command line, sent to the running program through its loopback channel.
struct Ran {
    int status;
    std::string out, err;
};
Ran command(HeadlessApp& app, std::vector<std::string> args) {
    const CommandLineNeeds needs{app.clock, *app.codec, app.files, app.folder(), "quietus", {}, {}, &app.channel};
    Ran ran{};
    ran.status = runCommandLine(args, needs, {[&](std::string_view s) { ran.out += s; },
                                              [&](std::string_view s) { ran.err += s; }});
    return ran;
}

Act choose(std::string_view caption) {
    return [caption](HeadlessApp& app) { EXPECT_TRUE(app.tray.chooseNoticeAction(caption)) << caption; };
}
// A click on the notice, then one of the window's buttons.
Act inWindow(std::string_view button) {
    return [button](HeadlessApp& app) {
        ASSERT_TRUE(app.tray.clickNotice());
        ASSERT_TRUE(app.isVisible("NoticeChoice"));
        EXPECT_EQ(app.form("NoticeChoice").caption(), "QuietusMachine");
        EXPECT_EQ(app.caption("NoticeChoice", "Label1"), app.tray.notices.back().text);
        app.click("NoticeChoice", button);
        EXPECT_FALSE(app.isLoaded("NoticeChoice"));
    };
}
Act run(std::vector<std::string> args) {
    return [args](HeadlessApp& app) { EXPECT_EQ(command(app, args).status, kCommandDone) << args[0]; };
}

TEST_F(Notice, ItsChoicesSkipOrPostponeTheOccurrenceNoticedAndTheFileStaysAsItWas) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        headless::VirtualTime start, end;
        std::map<headless::VirtualTime, Act> acts;
        Moments notices, warnings;
        std::vector<std::string> fileAfter = {};  // empty: the lines as written
    };
    const auto t = [](year_month_day day, seconds time) { return at(day, time); };
    const std::string at2130 = "98年12月01日 21時30分　再起動", at2140 = "98年12月01日 21時40分　ログオフ";
    const std::string everyDay = "毎日実行　　　　21時30分　再起動";
    const Case cases[] = {
        {"skipped: the next entry comes",
         {at2130, at2140}, t(kDay, 21h + 20min), t(kDay, 21h + 45min),
         {{t(kDay, 21h + 25min + 1s), choose("今回は中止")}},
         {t(kDay, 21h + 25min), t(kDay, 21h + 35min)}, {t(kDay, 21h + 40min)}},
        {"postponed twice, each time with its own notice",
         {at2130}, t(kDay, 21h + 20min), t(kDay, 21h + 55min),
         {{t(kDay, 21h + 25min + 1s), choose("10分延期")},
          {t(kDay, 21h + 35min + 1s), choose("10分延期")},
          {t(kDay, 21h + 36min), [](HeadlessApp& app) {  // the tip follows
               EXPECT_EQ(app.tray.shown()->tip, "QuietusMachineは動作中です\n次回: 12月01日 21時50分 再起動（あと14分）");
           }}},
         {t(kDay, 21h + 25min), t(kDay, 21h + 35min), t(kDay, 21h + 45min)}, {t(kDay, 21h + 50min)}},
        {"postponed past midnight",
         {"98年12月01日 23時55分　再起動"}, t(kDay, 23h + 45min), t(kNextDay, 10min),
         {{t(kDay, 23h + 50min + 1s), choose("10分延期")}},
         {t(kDay, 23h + 50min), t(kNextDay, 0min)}, {t(kNextDay, 5min)}},
        {"one day of an every-day entry skipped: it fires the next day",
         {everyDay}, t(kDay, 21h + 24min + 50s), t(kNextDay, 21h + 31min),
         {{t(kDay, 21h + 25min + 1s), choose("今回は中止")}},
         {t(kDay, 21h + 25min), t(kNextDay, 21h + 25min)}, {t(kNextDay, 21h + 30min)}},
        {"a choice made after the occurrence fired changes nothing",
         {at2130, at2140}, t(kDay, 21h + 20min), t(kDay, 21h + 45min),
         {{t(kDay, 21h + 31min), choose("10分延期")}, {t(kDay, 21h + 32min), choose("今回は中止")}},
         {t(kDay, 21h + 25min), t(kDay, 21h + 35min)}, {t(kDay, 21h + 30min), t(kDay, 21h + 40min)}},
        {"the window's 今回は中止", {at2130, at2140}, t(kDay, 21h + 20min), t(kDay, 21h + 45min),
         {{t(kDay, 21h + 26min), inWindow("Command1")}},
         {t(kDay, 21h + 25min), t(kDay, 21h + 35min)}, {t(kDay, 21h + 40min)}},
        {"the window's 10分延期", {at2130}, t(kDay, 21h + 20min), t(kDay, 21h + 45min),
         {{t(kDay, 21h + 26min), inWindow("Command2")}},
         {t(kDay, 21h + 25min), t(kDay, 21h + 35min)}, {t(kDay, 21h + 40min)}},
        {"the window's キャンセル", {at2130}, t(kDay, 21h + 20min), t(kDay, 21h + 45min),
         {{t(kDay, 21h + 26min), inWindow("Command3")}},
         {t(kDay, 21h + 25min)}, {t(kDay, 21h + 30min)}},
        {"the window's choice once it fired: it just closes", {at2130}, t(kDay, 21h + 20min), t(kDay, 21h + 45min),
         {{t(kDay, 21h + 31min), inWindow("Command2")}},
         {t(kDay, 21h + 25min)}, {t(kDay, 21h + 30min)}},
        {"--skip-next", {at2130, at2140}, t(kDay, 21h + 20min), t(kDay, 21h + 45min),
         {{t(kDay, 21h + 21min), run({"--skip-next"})}},
         {t(kDay, 21h + 35min)}, {t(kDay, 21h + 40min)}},
        {"--postpone, then a change of the file", {at2130}, t(kDay, 21h + 20min), t(kDay, 22h + 1min),
         {{t(kDay, 21h + 21min), run({"--postpone", "30"})},
          {t(kDay, 21h + 22min), [&](HeadlessApp& app) {
               writeSchedule({at2130, "98年12月01日 23時00分　ログオフ"});
               app.watcher.changed();
           }}},
         {t(kDay, 21h + 55min)}, {t(kDay, 22h)}, {at2130, "98年12月01日 23時00分　ログオフ"}},
    };
    for (const Case& c : cases) {
        const Seen seen = walk(c.lines, c.start, c.end, c.acts);
        EXPECT_EQ(seen.notices, c.notices) << c.what;
        EXPECT_EQ(seen.warnings, c.warnings) << c.what;
        EXPECT_EQ(app().settingsList(), c.fileAfter.empty() ? c.lines : c.fileAfter) << c.what;
    }
}

TEST_F(Notice, TheOptionsReachTheRunningProgramAndSayWhatItWillDo) {
    writeSchedule({"98年12月01日 21時30分　再起動", "毎日実行　　　　22時00分　ﾃｽﾄ\"\\"});
    HeadlessApp& app = makeApp(at(kDay, 21h));
    EXPECT_EQ(command(app, {"--status"}).status, kCommandNoProgram);  // not started: nothing listens
    app.start();
    app.processes.running = {"render", "4242"};
    struct Step {
        std::vector<std::string> args;
        int status;
        std::string out, err = {};
    };
    const std::string running = "QuietusMachineは動作中です\n", paused = "QuietusMachineは停止中です\n";
    for (const Step& s : {
             Step{{"--status"}, 0, running + "次回: 1998-12-01 21:30 再起動（あと30分）\n"},
             Step{{"--pause"}, 0, "一時停止しました\n"},
             Step{{"--pause"}, 0, "既に一時停止しています\n"},
             Step{{"--status"}, 0, paused + "次回: 1998-12-01 21:30 再起動（あと30分）\n"},
             Step{{"--resume"}, 0, "再開しました\n"},
             Step{{"--resume"}, 0, "既に動作しています\n"},
             Step{{"--postpone", "15"}, 0, "次回の予定を15分延期しました: 1998-12-01 21:45 98年12月01日 21時30分　再起動\n"},
             Step{{"--status"}, 0, running + "次回: 1998-12-01 21:45 再起動（あと45分、1998-12-01 21:30から延期）\n"},
             Step{{"--status", "--json"}, 0,
                  R"({"state": "running", "next": {"date": "1998-12-01", "time": "21:45", "method": "restart", )"
                  R"("word": "再起動", "entry": "98年12月01日 21時30分　再起動", "seconds_left": 2700, )"
                  R"("postponed": true, "postponed_from": "1998-12-01 21:30"}, "when_exits": null})" "\n"},
             Step{{"--skip-next"}, 0, "次回の予定を中止しました: 1998-12-01 21:45 98年12月01日 21時30分　再起動\n"},
             Step{{"--status", "--json"}, 0,
                  R"({"state": "running", "next": {"date": "1998-12-01", "time": "22:00", "method": null, )"
                  R"("word": "ﾃｽﾄ\"\\", "entry": "毎日実行　　　　22時00分　ﾃｽﾄ\"\\", "seconds_left": 3600, )"
                  R"("postponed": false, "postponed_from": null}, "when_exits": null})" "\n"},
             Step{{"--skip-next"}, 0, "次回の予定を中止しました: 1998-12-01 22:00 毎日実行　　　　22時00分　ﾃｽﾄ\"\\\n"},
             Step{{"--skip-next"}, 1, "", "QuietusMachine: 次に実行される予定はありません\n"},
             Step{{"--postpone", "5"}, 1, "", "QuietusMachine: 次に実行される予定はありません\n"},
             Step{{"--status"}, 0, running + "次に実行される予定はありません\n"},
             // Waiting for another program's end: one wait at a time, cancelled as the next thing.
             Step{{"--when-exits", "blender", "--method", "lock"}, 1, "", "QuietusMachine: 「blender」は動いていません\n"},
             Step{{"--when-exits", "render", "--method", "lock"}, 0, "「render」が終了したらロックします\n"},
             Step{{"--when-exits", "4242", "--method", "sleep"}, 0, "「4242」が終了したらスリープします\n"},
             Step{{"--status"}, 0, running + "次回: 4242の終了後 スリープ\n"},
             Step{{"--status", "--json"}, 0,
                  R"({"state": "running", "next": null, "when_exits": {"target": "4242", "method": "sleep"}})" "\n"},
             Step{{"--skip-next"}, 0, "終了待ちを中止しました: 4242\n"},
             Step{{"--skip-next"}, 1, "", "QuietusMachine: 次に実行される予定はありません\n"},
         }) {
        const Ran ran = command(app, s.args);
        EXPECT_EQ(ran.status, s.status) << s.args[0];
        EXPECT_EQ(ran.out, s.out) << s.args[0];
        EXPECT_EQ(ran.err, s.err) << s.args[0];
    }
    // Paused from outside as by the right button: the tip and the icon say so.
    command(app, {"--pause"});
    EXPECT_EQ(app.tray.shown()->tip, "QuietusMachineは停止中です");
    EXPECT_EQ(app.tray.shown()->icon, ui::Icon::Paused);
    // A request the program does not know is refused with status 2.
    EXPECT_EQ(app.channel.send("shutdown now"), "2\n分からない要求です: shutdown now\n");
}

}  // namespace
}  // namespace qm::scenarios
