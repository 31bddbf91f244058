// Start-up and the tray window: the single-instance check, the icon and its tips, the popup
// menu, pause and resume, and the program's exit.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/scenarios/scenario.h"

namespace qm::scenarios {
namespace {

using headless::RecordingTrayIcon;

const auto kMorning = at(1998y / December / 6, 9h + 0min + 10s);

class StartUp : public Scenario {};

TEST_F(StartUp, WithoutScheduleFileTheIconAppearsAndNothingShowsOnScreen) {
    HeadlessApp& app = startAt(kMorning);

    ASSERT_EQ(app.tray.calls.size(), 1u);
    const auto& add = app.tray.calls[0];
    EXPECT_EQ(add.op, RecordingTrayIcon::Op::Add);
    EXPECT_EQ(add.state, (TrayIconState{.icon = ui::Icon::Running, .tip = "QuietusMachineは動作中です"}));

    // The tray window is shown, far outside every screen.
    EXPECT_TRUE(app.isVisible("TraySmple"));
    EXPECT_FALSE(app.isOnScreen("TraySmple"));
    EXPECT_EQ(app.form("TraySmple").left(), -50000);
    EXPECT_EQ(app.form("TraySmple").top(), -50000);
    EXPECT_EQ(app.form("TraySmple").icon(), ui::Icon::Running);

    // With no file the selection stops before it asks the settings window for its count.
    EXPECT_FALSE(app.isLoaded("TimeDateSet"));
    EXPECT_TRUE(app.messageBoxes().empty());
    EXPECT_FALSE(app.ended());

    // With no file, NextDue keeps its never-due value and nothing ever opens.
    EXPECT_EQ(nextDue(), initialNextDue());
    app.advance(2min);
    EXPECT_FALSE(app.isLoaded("EndMessege"));
}

TEST_F(StartUp, WithScheduleFileTheSettingsListHoldsItsLinesAndNextDueIsTheEarliest) {
    writeSchedule({"98年12月10日 09時00分　再起動", "毎日実行　　　　22時00分　ログオフ",
                   "98年12月10日 09時00分　再起動"});
    HeadlessApp& app = startAt(kMorning);

    EXPECT_EQ(app.settingsList(),
              (std::vector<std::string>{"98年12月10日 09時00分　再起動", "毎日実行　　　　22時00分　ログオフ",
                                        "98年12月10日 09時00分　再起動"}));
    EXPECT_FALSE(app.isLoaded("TimeDateSet"));  // counting the list loads no window
    EXPECT_EQ(nextDue().date, local_days{1998y / December / 6});
    EXPECT_EQ(nextDue().time, 22h);
    EXPECT_EQ(nextDue().method.word, "ログオフ");
}

TEST_F(StartUp, InstalledItMakesAndWatchesTheUsersOwnScheduleFolder) {
    const std::string mine = (folder_ / "config" / "QuietusMachine").string();
    HeadlessApp app(folder_.string(), kMorning, mine);
    app.start();
    EXPECT_TRUE(std::filesystem::is_directory(mine));
    EXPECT_EQ(app.watcher.folder, mine);
    EXPECT_EQ(app.program.scheduleFile.path(), app.folder().schedulePath("Dtddta.wet"));
    EXPECT_EQ(app.folder().schedulePath("Dtddta.wet"), (folder_ / "config" / "QuietusMachine" / "Dtddta.wet").string());
}

TEST_F(StartUp, ASecondCopySaysSoAndEndsWhenTheMessageIsClosed) {
    HeadlessApp& app = makeApp(kMorning);
    app.instance.another = true;
    app.start();

    ASSERT_EQ(app.messageBoxes().size(), 1u);
    EXPECT_EQ(app.messageBoxes()[0].text, "既に起動されています");
    EXPECT_EQ(app.messageBoxes()[0].title, "QuietusMachine");
    EXPECT_EQ(app.messageBoxes()[0].buttons, ui::MessageBoxButtons::Ok);
    EXPECT_FALSE(app.ended());
    EXPECT_TRUE(app.tray.calls.empty());
    EXPECT_FALSE(app.isLoaded("TraySmple"));

    app.answerMessageBox();
    EXPECT_TRUE(app.ended());
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_TRUE(app.tray.calls.empty());
    for (const char* form : {"TraySmple", "EndMessege", "TimeDateSet", "TimeSet", "About"}) {
        EXPECT_FALSE(app.isLoaded(form)) << form;
    }
}

TEST_F(StartUp, WithoutATaskbarTheProgramRunsOnWithoutAnIcon) {
    HeadlessApp& app = makeApp(kMorning);
    app.tray.taskbarRunning = false;
    app.start();
    EXPECT_FALSE(app.tray.shown());
    EXPECT_FALSE(app.ended());
    EXPECT_THROW(app.trayClick(TrayClick::Primary), std::logic_error);  // nothing to click
}

TEST_F(StartUp, IdleItSleepsBetweenEventsAndSeesADueEntryAsItsSecondStarts) {
    const auto day = 1998y / December / 6;
    const auto due = at(day, 9h + 10min);
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::function<void(HeadlessApp&)> meanwhile;  // right after start
        headless::VirtualTime firesAt;
        // Of every timer, from start to the warning: the moments something happens, and each minute
        // at which the tip's time left turns.
        long ticksAtMost;
    };
    const std::string entry = "98年12月06日 09時10分　再起動";
    for (const Case& c : std::initializer_list<Case>{
             {"armed", {entry}, {}, due, 10},  // 09:01 to 09:09 (the notice at 09:05), the due second
             {"the clock set back an hour", {entry},
              [](HeadlessApp& app) { app.clock.set(at(1998y / December / 6, 8h + 1min)); }, due, 70},
             {"the clock set forward to just before it", {entry},
              [](HeadlessApp& app) { app.clock.set(at(1998y / December / 6, 9h + 9min + 59s) + 500ms); }, due, 4},
             {"an earlier entry written from outside", {"98年12月06日 12時00分　再起動"},
              [&](HeadlessApp& app) {
                  writeSchedule({"98年12月06日 12時00分　再起動", entry});
                  app.watcher.changed();
              },
              due, 10},
             {"an earlier entry written while paused", {},
              [&](HeadlessApp& app) {
                  app.trayClick(TrayClick::Secondary);
                  writeSchedule({entry});
                  app.watcher.changed();
                  app.trayClick(TrayClick::Secondary);
              },
              due, 10},
             {"an every-day entry after midnight", {"毎日実行　　　　00時01分　再起動"}, {},
              at(day, 24h + 1min), 4},  // midnight chooses it; its notice was before
         }) {
        writeSchedule(c.lines);
        HeadlessApp& app = startAt(kMorning);
        if (c.meanwhile) c.meanwhile(app);
        advanceTo(c.firesAt - 1ms);
        EXPECT_FALSE(app.isLoaded("EndMessege")) << c.what;
        app.advance(1ms);
        EXPECT_TRUE(app.isVisible("EndMessege")) << c.what;
        EXPECT_LE(app.backend.ticks(), c.ticksAtMost) << c.what;
    }
}

TEST_F(StartUp, WithTheSettingsWindowOpenItsClockTurnsWithEachSecond) {
    HeadlessApp& app = startAt(kMorning);
    openSettings(app);
    app.advance(100ms);
    const long opened = app.backend.ticks();
    for (int i = 0; i < 3; ++i) {
        const std::string shown = app.caption("TimeDateSet", "Label1");
        app.advance(1s);
        EXPECT_NE(app.caption("TimeDateSet", "Label1"), shown) << i;
    }
    EXPECT_LE(app.backend.ticks() - opened, 3);
}

// Mended: a file made readable while the message saying it could not be read is open is read at
// once, and a file written in two pieces is acted on only once it is whole.
TEST_F(StartUp, ChangesOnDiskAreSeenWhileTheStartUpMessageIsOpenAndOnlyWhenWhole) {
    writeSchedule({"98年12月06日 09時30分　再起動"});
    HeadlessApp& app = makeApp(kMorning);
    app.files.readFailure = "「Dtddta.wet」を読み込めません: 入出力エラー";
    app.start();
    ASSERT_EQ(app.messageBoxes().size(), 1u);
    app.files.readFailure.reset();
    ASSERT_TRUE(app.watcher.changed());
    EXPECT_EQ(nextDue().time, 9h + 30min);
    app.answerMessageBox();

    // The writer stops after the ロ of ログオフ, just before the entry's second, then goes on.
    const std::string whole = "98年12月06日 09時20分　ログオフ";
    writeSchedule({whole});
    const std::string bytes = scheduleBytes();
    writeSchedule({"98年12月06日 09時30分　再起動"});
    advanceTo(at(1998y / December / 6, 9h + 19min + 59s) + 900ms);
    writeBytes("Dtddta.wet", bytes.substr(0, bytes.size() - 8));
    app.watcher.reportOnce();
    EXPECT_TRUE(app.watcher.waiting());
    advanceTo(at(1998y / December / 6, 9h + 20min) + 50ms);
    writeSchedule({whole});
    app.watcher.changed();
    advanceTo(at(1998y / December / 6, 9h + 20min) + 500ms);
    EXPECT_EQ(app.form("EndMessege").caption(), "ログオフ確認");
}

// A schedule saved in another encoding than Shift_JIS would silently schedule nothing: it is
// named, at start and when it turns up while the program runs, and left as it is.
struct EncodingCase {
    const char* what;
    std::string bytes;        // written as they are, when not empty
    std::vector<std::string> sjis;  // else these lines, in Shift_JIS
    const char* named;        // the encoding the message names; nullptr: read as Shift_JIS, no message
};

void PrintTo(const EncodingCase& c, std::ostream* out) { *out << c.what; }

class ScheduleEncoding : public Scenario, public ::testing::WithParamInterface<EncodingCase> {};

TEST_P(ScheduleEncoding, AFileInAnotherEncodingIsNamedAndNeverFiresOrRewritten) {
    const EncodingCase& c = GetParam();
    const auto write = [&] { c.bytes.empty() ? writeSchedule(c.sjis) : writeBytes("Dtddta.wet", c.bytes); };
    write();
    HeadlessApp& app = startAt(kMorning);
    if (!c.named) {
        EXPECT_TRUE(app.messageBoxes().empty());
        return;
    }
    const std::string expected = "「" + path("Dtddta.wet") + "」は" + c.named + "で保存されています。";
    ASSERT_EQ(app.messageBoxes().size(), 1u);
    EXPECT_TRUE(app.messageBoxes()[0].text.starts_with(expected)) << app.messageBoxes()[0].text;
    app.answerMessageBox();

    // Saved again in Shift_JIS it is read; in the other encoding once more, named once more.
    writeSchedule({"98年12月06日 09時30分　再起動"});
    ASSERT_TRUE(app.watcher.changed());
    EXPECT_EQ(nextDue().time, 9h + 30min);
    EXPECT_TRUE(app.messageBoxes().empty());
    write();
    ASSERT_TRUE(app.watcher.changed());
    ASSERT_EQ(app.messageBoxes().size(), 1u);
    EXPECT_TRUE(app.messageBoxes()[0].text.starts_with(expected)) << app.messageBoxes()[0].text;
    app.answerMessageBox();
    EXPECT_EQ(nextDue(), emptyNextDue());
    advanceTo(at(1998y / December / 6, 9h + 30min + 1s));
    EXPECT_FALSE(app.isLoaded("EndMessege"));
    EXPECT_EQ(scheduleBytes(), c.bytes);
}

const std::string kUtf8Entry = "98年12月06日 09時30分　再起動\r\n毎日実行　　　　22時30分　ログオフ\r\n";

INSTANTIATE_TEST_SUITE_P(
    StartUp, ScheduleEncoding,
    ::testing::Values(EncodingCase{"UTF-8", kUtf8Entry, {}, "UTF-8"},
                      EncodingCase{"UTF-8 with a BOM", "\xEF\xBB\xBF" + kUtf8Entry, {}, "UTF-8 (BOM付き)"},
                      EncodingCase{"UTF-16", std::string("\xFF\xFE" "9\0" "8\0", 6), {}, "UTF-16"},
                      // "ﾃｩ" is 0xC3 0xA9 in Shift_JIS, which is "é" in UTF-8.
                      EncodingCase{"Shift_JIS, one line UTF-8 too", {}, {"98年12月06日 09時30分　再起動", "ﾃｩ"}, nullptr},
                      EncodingCase{"Shift_JIS, all UTF-8 too", {}, {"ﾃｩ"}, nullptr}));

class TrayMenu : public Scenario {};

TEST_F(TrayMenu, ReleasingTheLeftButtonOpensTheMenu) {
    HeadlessApp& app = startAt(kMorning);
    app.trayClick(TrayClick::Primary);

    EXPECT_EQ(menuSeen(app), (std::vector<std::string>{"時刻の設定", "QTM About(&A)...", "-", "終了(&X)"}));
    EXPECT_EQ(app.backend.openMenu()->buttons, ui::PopupButtons::LeftAndRight);
    EXPECT_EQ(app.tray.calls.size(), 1u);  // the add, nothing since

    app.dismissMenu();
    EXPECT_TRUE(app.isVisible("TraySmple"));
    EXPECT_FALSE(app.isOnScreen("TraySmple"));
    EXPECT_FALSE(app.backend.openMenu());
}

TEST_F(TrayMenu, TimeSettingShowsTheOneSettingsWindow) {
    writeSchedule({});
    HeadlessApp& app = startAt(kMorning);
    EXPECT_FALSE(app.isLoaded("TimeDateSet"));

    openSettings(app);
    EXPECT_TRUE(app.isVisible("TimeDateSet"));
    const ui::Control* listShown = &app.control("TimeDateSet", "List1");

    openSettings(app);
    EXPECT_TRUE(app.isVisible("TimeDateSet"));
    EXPECT_EQ(&app.control("TimeDateSet", "List1"), listShown);  // shown again, not loaded afresh
    EXPECT_EQ(app.backend.zOrder().back(), &app.form("TimeDateSet"));
}

TEST_F(TrayMenu, TimeSettingLoadsTheSettingsWindowWhenNoFileLoadedItAtStartUp) {
    HeadlessApp& app = startAt(kMorning);
    openSettings(app);
    EXPECT_TRUE(app.isVisible("TimeDateSet"));
    EXPECT_TRUE(app.isOnScreen("TimeDateSet"));
    EXPECT_TRUE(app.items("TimeDateSet", "List1").empty());
}

TEST_F(TrayMenu, ExitRemovesTheIconThenEndsTheProgram) {
    HeadlessApp& app = startAt(kMorning);
    openSettings(app);  // an open window closes with the program
    app.trayClick(TrayClick::Primary);
    app.pickMenuItem("終了(&X)");

    EXPECT_TRUE(app.ended());
    ASSERT_EQ(app.tray.calls.size(), 2u);
    EXPECT_EQ(app.tray.calls[1].op, RecordingTrayIcon::Op::Remove);
    EXPECT_FALSE(app.tray.shown());
    EXPECT_FALSE(app.isVisible("TimeDateSet"));
    EXPECT_TRUE(app.session.requests.empty());
}

class Pause : public Scenario {};

TEST_F(Pause, RightClicksAlternateThePausedAndRunningIconsAndTips) {
    HeadlessApp& app = startAt(kMorning);
    struct Step {
        ui::Icon icon;
        const char* tip;
        bool paused;
    };
    const Step steps[] = {
        {ui::Icon::Paused, "QuietusMachineは停止中です", true},
        {ui::Icon::Running, "QuietusMachineは動作中です", false},
        {ui::Icon::Paused, "QuietusMachineは停止中です", true},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        app.trayClick(TrayClick::Secondary);
        const auto& call = app.tray.calls.back();
        EXPECT_EQ(call.op, RecordingTrayIcon::Op::Modify) << i;
        EXPECT_EQ(call.state, (TrayIconState{.icon = steps[i].icon, .tip = steps[i].tip})) << i;
        EXPECT_EQ(app.form("TraySmple").icon(), steps[i].icon) << i;
        EXPECT_EQ(app.program.tray.paused(), steps[i].paused) << i;
        EXPECT_EQ(app.control("TraySmple", "Timer1").enabled(), !steps[i].paused) << i;
    }
}

class Tip : public Scenario {};

TEST_F(Tip, UnderTheRunningTextItSaysTheNextEntryItsMethodAndTheTimeLeft) {
    const std::string running = "QuietusMachineは動作中です\n次回: ";
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        bool paused;
        std::string tip;  // from 09:00:10; the time left rounded up to the minute, from a day on to the hour
    };
    for (const Case& c : std::initializer_list<Case>{
             {"a dated entry days ahead", {"98年12月08日 22時30分　再起動"}, false,
              running + "12月08日 22時30分 再起動（あと2日14時間）"},
             {"every day, before a later dated one", {"98年12月08日 22時30分　再起動", "毎日実行　　　　22時30分　ｼｬｯﾄﾀﾞｳﾝ"},
              false, running + "12月06日 22時30分 シャットダウン（あと13時間30分）"},
             {"whole hours", {"毎日実行　　　　11時00分　スリープ"}, false, running + "12月06日 11時00分 スリープ（あと2時間）"},
             {"weekly, within the hour", {"毎週日曜　　　　09時15分　ロック"}, false,
              running + "12月06日 09時15分 ロック（あと15分）"},
             {"a word that names no method", {"98年12月06日 09時30分　おやすみなさいませ、ごしゅじんさま"}, false,
              running + "12月06日 09時30分 おやすみなさいませ、ごしゅじんさ（あと30分）"},
             {"paused", {"毎日実行　　　　22時30分　ｼｬｯﾄﾀﾞｳﾝ"}, true, "QuietusMachineは停止中です"},
             {"only past entries", {"98年12月05日 22時30分　再起動"}, false, "QuietusMachineは動作中です"},
             {"an empty schedule", {}, false, "QuietusMachineは動作中です"},
         }) {
        writeSchedule(c.lines);
        HeadlessApp& app = startAt(kMorning);
        if (c.paused) app.trayClick(TrayClick::Secondary);
        ASSERT_TRUE(app.tray.shown()) << c.what;
        EXPECT_EQ(app.tray.shown()->tip, c.tip) << c.what;
        EXPECT_EQ(app.tray.calls.size(), c.paused ? 2u : 1u) << c.what << ": the icon is added with its tip";
    }
}

TEST_F(Tip, TheTimeLeftTurnsOnTheMinuteAndTheTrayIsToldOnlyOfAChange) {
    writeSchedule({"毎週日曜　　　　09時15分　ロック", "98年12月06日 09時20分　スリープ"});
    HeadlessApp& app = startAt(kMorning);
    const auto day = 1998y / December / 6;
    const auto left = [&] {
        const std::string& tip = app.tray.shown()->tip;
        const std::size_t from = tip.find("（あと");
        return from == std::string::npos ? tip : tip.substr(from);
    };
    const auto modifies = [&] {
        return std::count_if(app.tray.calls.begin(), app.tray.calls.end(),
                             [](const auto& call) { return call.op == RecordingTrayIcon::Op::Modify; });
    };
    const long ticks = app.backend.ticks();
    for (int minute = 1; minute <= 10; ++minute) {
        advanceTo(at(day, 9h + minutes{minute} - 1s));
        EXPECT_EQ(left(), "（あと" + std::to_string(16 - minute) + "分）") << minute;
        advanceTo(at(day, 9h + minutes{minute}));
        EXPECT_EQ(left(), "（あと" + std::to_string(15 - minute) + "分）") << minute;
    }
    EXPECT_EQ(modifies(), 10);
    EXPECT_LE(app.backend.ticks() - ticks, 10);  // the notice at 09:10 wakes with the tip's turn

    advanceTo(at(day, 9h + 14min + 59s));
    EXPECT_EQ(left(), "（あと1分）");
    // In the due second the entry is no longer ahead; the next one takes its place after it, and
    // the ten checks within it tell the tray nothing new.
    advanceTo(at(day, 9h + 15min) + 900ms);
    EXPECT_TRUE(app.isVisible("EndMessege"));
    EXPECT_EQ(app.tray.shown()->tip, "QuietusMachineは動作中です");
    EXPECT_EQ(modifies(), 15);
    advanceTo(at(day, 9h + 15min + 1s));
    EXPECT_EQ(app.tray.shown()->tip, "QuietusMachineは動作中です\n次回: 12月06日 09時20分 スリープ（あと5分）");
}

TEST_F(Pause, ATrayHostsOwnMenuPausesAndResumesAndDoesWhatTheTrayMenuDoes) {
    HeadlessApp& app = startAt(kMorning);
    const std::vector<std::string> rest{"-", "時刻の設定", "QTM About(&A)...", "-", "終了(&X)"};
    auto menu = [&](const char* first) {
        std::vector<std::string> items{first};
        items.insert(items.end(), rest.begin(), rest.end());
        return items;
    };
    EXPECT_EQ(app.tray.hostMenuCaptions(), menu("一時停止"));

    ASSERT_TRUE(app.tray.chooseHostMenuItem("一時停止"));
    EXPECT_TRUE(app.program.tray.paused());
    EXPECT_EQ(app.tray.shown()->icon, ui::Icon::Paused);
    EXPECT_EQ(app.tray.hostMenuCaptions(), menu("再開"));
    ASSERT_TRUE(app.tray.chooseHostMenuItem("再開"));
    EXPECT_FALSE(app.program.tray.paused());
    EXPECT_EQ(app.tray.hostMenuCaptions(), menu("一時停止"));

    ASSERT_TRUE(app.tray.chooseHostMenuItem("時刻の設定"));
    EXPECT_TRUE(app.isVisible("TimeDateSet"));
    EXPECT_FALSE(app.backend.openMenu());  // no popup menu of the program's own
}

TEST_F(Pause, AnEntryDueDuringThePauseIsPassedOverAtResume) {
    writeSchedule({"98年12月06日 09時01分　ｼｬｯﾄﾀﾞｳﾝ", "98年12月06日 09時03分　再起動"});
    HeadlessApp& app = startAt(kMorning);
    EXPECT_EQ(nextDue().time, 9h + 1min);

    app.trayClick(TrayClick::Secondary);
    advanceTo(at(1998y / December / 6, 9h + 1min + 30s));
    EXPECT_FALSE(app.isLoaded("EndMessege"));
    EXPECT_EQ(nextDue().time, 9h + 1min);  // pausing changes nothing but the timer

    app.trayClick(TrayClick::Secondary);
    EXPECT_EQ(nextDue().time, 9h + 3min);
    EXPECT_EQ(nextDue().method.word, "再起動");
    advanceTo(at(1998y / December / 6, 9h + 2min + 59s));
    EXPECT_FALSE(app.isLoaded("EndMessege"));
    advanceTo(at(1998y / December / 6, 9h + 3min));
    EXPECT_TRUE(app.isVisible("EndMessege"));
    EXPECT_EQ(app.form("EndMessege").caption(), "再起動確認");
}

TEST_F(Pause, ResumingCountsTheSettingsListAsItStandsUnsaved) {
    writeSchedule({"98年12月06日 09時01分　ｼｬｯﾄﾀﾞｳﾝ"});
    HeadlessApp& app = startAt(kMorning);
    openSettings(app);
    app.select("TimeDateSet", "List1", 0);
    app.rightClick("TimeDateSet", "List1");
    app.pickMenuItem("全て削除");

    app.trayClick(TrayClick::Secondary);
    app.trayClick(TrayClick::Secondary);
    EXPECT_EQ(nextDue(), emptyNextDue());
    advanceTo(at(1998y / December / 6, 9h + 1min + 1s));
    EXPECT_FALSE(app.isLoaded("EndMessege"));
}

}  // namespace
}  // namespace qm::scenarios
