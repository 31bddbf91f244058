// Triggers tied to what the user does: the inactivity entry on a virtual idle source, and the
// warning once a program waited for has ended.
#include <functional>
#include <map>

#include "app/command_line.h"
#include "tests/scenarios/scenario.h"

namespace qm::scenarios {
namespace {

const year_month_day kDay = 1998y / December / 1;  // a Tuesday

using Act = std::function<void(HeadlessApp&)>;
using Moments = std::vector<headless::VirtualTime>;

const std::string kIdle10Lock = "無操作時　　　　00時10分　ロック";

class Idle : public Scenario {
protected:
    // Second by second from `start` (the user's last input) to `end`: the acts at their moments;
    // when a warning opened and with which caption, when one closed without a request, and the
    // requests made at zero. Every method used leaves the program running.
    struct Seen {
        Moments opened, aborted;
        std::vector<std::string> captions;
        std::vector<SessionRequest> requests;
    };
    Seen walk(const std::vector<std::string>& lines, headless::VirtualTime start, headless::VirtualTime end,
              const std::map<headless::VirtualTime, Act>& acts, bool idleSource = true) {
        writeSchedule(lines);
        HeadlessApp& app = makeApp(start);
        app.idle.available = idleSource;
        app.start();
        Seen seen;
        bool open = false;
        while (app.clock.now() < end) {
            const std::size_t requests = app.session.requests.size();
            app.advance(1s);
            const auto now = floor<seconds>(app.clock.now());
            const bool visible = app.isVisible("EndMessege");
            if (visible && !open) {
                seen.opened.push_back(now);
                seen.captions.push_back(app.form("EndMessege").caption());
            }
            if (!visible && open && app.session.requests.size() == requests) seen.aborted.push_back(now);
            open = visible;
            if (const auto act = acts.find(now); act != acts.end()) act->second(app);
        }
        seen.requests = app.session.requests;
        return seen;
    }
};

Act input() {
    return [](HeadlessApp& app) { app.idle.input(); };
}
Act pause(bool paused) {
    return [paused](HeadlessApp& app) { EXPECT_TRUE(app.program.tray.setPaused(paused)); };
}

TEST_F(Idle, AnInactivityEntryWarnsOnceTheUserHasMadeNoInputForItsTime) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        headless::VirtualTime end;
        std::map<headless::VirtualTime, Act> acts;
        Moments opened, aborted = {};
        std::vector<SessionRequest> requests = {};
    };
    const auto t = [](seconds time) { return at(kDay, time); };
    const auto lock = SessionRequest::LockScreen;
    const Case cases[] = {
        {"reached: the usual warning, its method at zero", {kIdle10Lock}, t(21h + 11min), {},
         {t(21h + 10min)}, {}, {lock}},
        {"input before the time: the wait starts again", {kIdle10Lock}, t(21h + 16min),
         {{t(21h + 5min), input()}}, {t(21h + 15min)}, {}, {lock}},
        {"input during the warning closes it as 中止; the next stretch fires again", {kIdle10Lock},
         t(21h + 21min), {{t(21h + 10min + 10s), input()}}, {t(21h + 10min), t(21h + 20min + 10s)},
         {t(21h + 10min + 11s)}, {lock}},
        {"after it fired, not again until the user makes input", {kIdle10Lock}, t(21h + 41min),
         {{t(21h + 30min), input()}}, {t(21h + 10min), t(21h + 40min)}, {}, {lock, lock}},
        {"paused while idle: nothing; resumed, the idle time is read again", {kIdle10Lock}, t(21h + 21min),
         {{t(21h + 5min), pause(true)}, {t(21h + 20min), pause(false)}}, {t(21h + 20min + 1s)}, {}, {lock}},
        {"next to a dated entry, which fires on time", {kIdle10Lock, "98年12月01日 21時05分　スリープ"},
         t(21h + 11min), {}, {t(21h + 5min), t(21h + 10min)}, {}, {SessionRequest::Suspend, lock}},
        {"two idle times: the shorter first, the longer in the same stretch",
         {"無操作時　　　　00時20分　スリープ", kIdle10Lock}, t(21h + 21min), {},
         {t(21h + 10min), t(21h + 20min)}, {}, {lock, SessionRequest::Suspend}},
        {"an idle time out of range never fires", {"無操作時　　　　00時00分　ロック", "無操作時　　　　12時01分　ロック"},
         t(21h + 11min), {}, {}},
    };
    for (const Case& c : cases) {
        const Seen seen = walk(c.lines, t(21h), c.end, c.acts);
        EXPECT_EQ(seen.opened, c.opened) << c.what;
        EXPECT_EQ(seen.aborted, c.aborted) << c.what;
        EXPECT_EQ(seen.requests, c.requests) << c.what;
        EXPECT_EQ(app().settingsList(), c.lines) << c.what;
    }
}

TEST_F(Idle, TheProgramSleepsUntilTheIdleTimeCouldBeReached) {
    // Ten minutes away from the machine: a handful of wakes, not one a second.
    walk({"無操作時　　　　00時30分　ロック"}, at(kDay, 21h), at(kDay, 21h + 1s), {});
    const long ticks = app().backend.ticks();
    const int reads = app().idle.reads;
    app().advance(10min);
    EXPECT_LE(app().backend.ticks() - ticks, 2);
    EXPECT_LE(app().idle.reads - reads, 2);
    // The user back every minute moves the wake each time it comes.
    for (int i = 0; i < 10; ++i) {
        app().advance(1min);
        app().idle.input();
    }
    EXPECT_LE(app().idle.reads - reads, 4);
    EXPECT_FALSE(app().isVisible("EndMessege"));
}

TEST_F(Idle, WithoutAnIdleSourceTheEntryIsShownButNeverFiresAndTheProgramSaysSoOnce) {
    const Seen seen = walk({"98年12月01日 23時00分　ロック", kIdle10Lock}, at(kDay, 21h), at(kDay, 21h + 15min), {},
                           false);
    EXPECT_TRUE(seen.opened.empty());
    ASSERT_EQ(app().messageBoxes().size(), 1u);
    EXPECT_EQ(app().messageBoxes()[0].text,
              "2行目の予定「無操作時　　　　00時10分　ロック」は、この環境では操作のない時間が分からないため、実行されません。");
    app().answerMessageBox();
    app().program.tray.setPaused(true);
    app().program.tray.setPaused(false);
    app().advance(15min);
    EXPECT_TRUE(app().messageBoxes().empty());
}

Act run(std::vector<std::string> args, int status = kCommandDone) {
    return [args, status](HeadlessApp& app) {
        const CommandLineNeeds needs{app.clock, *app.codec, app.files, app.folder(), "quietus", {}, {}, &app.channel};
        EXPECT_EQ(runCommandLine(args, needs, {[](std::string_view) {}, [](std::string_view) {}}), status) << args[0];
    };
}
Act end(std::string target) {
    return [target](HeadlessApp& app) { app.processes.end(target); };
}

TEST_F(Idle, TheWarningOpensOnceTheProgramWaitedForHasEnded) {
    struct Case {
        const char* what;
        std::vector<std::string> running;
        std::map<headless::VirtualTime, Act> acts;
        Moments opened;
        std::vector<SessionRequest> requests = {};
        std::vector<std::string> lines = {};
    };
    const auto t = [](seconds time) { return at(kDay, time); };
    const Act abort = [](HeadlessApp& app) { app.click("EndMessege", "Command2"); };
    const Act waitForRender = run({"--when-exits", "render", "--method", "lock"});
    const Case cases[] = {
        {"it ends: the warning, with the method given; the tip said what it waited for", {"render"},
         {{t(21h + 1min), waitForRender},
          {t(21h + 2min), [](HeadlessApp& app) {
               EXPECT_EQ(app.tray.shown()->tip, "QuietusMachineは動作中です\n次回: renderの終了後 ロック");
           }},
          {t(21h + 5min), end("render")}},
         {t(21h + 5min + 1s)}, {SessionRequest::LockScreen}},
        {"two processes of one name: once, when the name is gone", {"render", "render"},
         {{t(21h + 1min), waitForRender}, {t(21h + 5min), end("render")}}, {t(21h + 5min + 1s)},
         {SessionRequest::LockScreen}},
        {"cancelled by --skip-next", {"render"},
         {{t(21h + 1min), waitForRender}, {t(21h + 2min), run({"--skip-next"})}, {t(21h + 5min), end("render")}}, {}},
        {"a new wait replaces the one before", {"render", "backup"},
         {{t(21h + 1min), waitForRender}, {t(21h + 2min), run({"--when-exits", "backup", "--method", "sleep"})},
          {t(21h + 5min), end("render")}, {t(21h + 6min), end("backup")}},
         {t(21h + 6min + 1s)}, {SessionRequest::Suspend}},
        {"none running: nothing waits", {}, {{t(21h + 1min), run({"--when-exits", "render", "--method", "lock"}, 1)}}, {}},
        // The abort and the warning after it fall in one second: one opening seen, and the lock.
        {"it ends while an entry's warning is open: its own opens once that one is aborted", {"render"},
         {{t(21h + 1min), waitForRender}, {t(21h + 4min + 5s), end("render")}, {t(21h + 4min + 10s), abort}},
         {t(21h + 4min)}, {SessionRequest::LockScreen},
         {"98年12月01日 21時04分　再起動"}},
        {"paused when it ends: nothing", {"render"},
         {{t(21h + 1min), waitForRender}, {t(21h + 2min), pause(true)}, {t(21h + 5min), end("render")},
          {t(21h + 6min), pause(false)}}, {}},
    };
    for (const Case& c : cases) {
        std::map<headless::VirtualTime, Act> acts = c.acts;
        const auto first = acts.begin()->second;
        acts.begin()->second = [&c, first](HeadlessApp& app) {
            app.processes.running = c.running;
            first(app);
        };
        const Seen seen = walk(c.lines, t(21h), t(21h + 7min), acts);
        EXPECT_EQ(seen.opened, c.opened) << c.what;
        EXPECT_EQ(seen.requests, c.requests) << c.what;
        EXPECT_FALSE(app().program.schedule.whenExits()) << c.what;
    }
}

}  // namespace
}  // namespace qm::scenarios
