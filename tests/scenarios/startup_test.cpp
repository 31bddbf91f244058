// Start-up and the tray window: the single-instance check, the icon and its tips, the popup
// menu, pause and resume, and the program's exit.
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

TEST_F(StartUp, IdleItWakesOnceASecondAndStillSeesADueEntryAsItsSecondStarts) {
    writeSchedule({"98年12月06日 09時10分　再起動"});
    HeadlessApp& app = startAt(kMorning);
    app.advance(100ms);  // the first check, as the window loads
    const long before = app.backend.ticks();
    app.advance(60s);
    EXPECT_LE(app.backend.ticks() - before, 61);

    // The same with the settings window open: its clock shows every second all the same.
    openSettings(app);
    app.advance(100ms);
    const long opened = app.backend.ticks();
    for (int i = 0; i < 3; ++i) {
        const std::string shown = app.caption("TimeDateSet", "Label1");
        app.advance(1s);
        EXPECT_NE(app.caption("TimeDateSet", "Label1"), shown) << i;
    }
    EXPECT_LE(app.backend.ticks() - opened, 2 * 3 + 2);

    app.click("TimeDateSet", "Command2");
    advanceTo(at(1998y / December / 6, 9h + 10min));
    EXPECT_TRUE(app.isVisible("EndMessege"));
}

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
