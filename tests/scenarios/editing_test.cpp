// Editing the settings list: timer entries, the list's popup menu, and deleting past entries.
// None of it reaches the file before "設定".
#include <ostream>

#include "tests/scenarios/scenario.h"

namespace qm::scenarios {
namespace {

const year_month_day kDay = 1998y / December / 6;

class Editing : public Scenario {
protected:
    HeadlessApp& openAt(headless::VirtualTime time, const std::vector<std::string>& lines = {}) {
        if (!lines.empty()) writeSchedule(lines);
        HeadlessApp& app = startAt(time);
        openSettings(app);
        return app;
    }
    std::vector<std::string> list() { return app().items("TimeDateSet", "List1"); }
};

struct TimerCase {
    const char* what;
    headless::VirtualTime now;
    const char* hours;    // item of List2, or nullptr
    const char* minutes;  // item of List3, or nullptr
    const char* option;
    const char* entry;
};

void PrintTo(const TimerCase& c, std::ostream* out) {
    *out << c.what;
}

class TimerEntry : public Editing, public ::testing::WithParamInterface<TimerCase> {};

TEST_P(TimerEntry, AppendsADatedEntryForNowPlusTheChosenOffset) {
    const TimerCase& c = GetParam();
    HeadlessApp& app = openAt(c.now, {"毎日実行　　　　22時30分　再起動"});
    app.switchTab("TimeDateSet", "SSTab1", 1);
    if (c.hours) app.select("TimeDateSet", "List2", c.hours);
    if (c.minutes) app.select("TimeDateSet", "List3", c.minutes);
    app.click("TimeDateSet", c.option);
    app.click("TimeDateSet", "Command3");
    EXPECT_EQ(list(), (std::vector<std::string>{"毎日実行　　　　22時30分　再起動", c.entry}));
    EXPECT_TRUE(app.messageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, TimerEntry,
    ::testing::Values(TimerCase{"minutes", at(kDay, 14h + 29min + 50s), nullptr, "05分後", "Option2",
                                "98年12月06日 14時34分　強制終了"},
                      TimerCase{"hours win over minutes", at(kDay, 10h + 15min), "23時間後", "55分後",
                                "Option1", "98年12月07日 09時15分　ｼｬｯﾄﾀﾞｳﾝ"},
                      TimerCase{"the minute is where the moment falls", at(kDay, 10h + 59min + 59s), nullptr,
                                "05分後", "Option3", "98年12月06日 11時04分　再起動"},
                      TimerCase{"across midnight", at(kDay, 23h + 30min), "01時間後", nullptr, "Option4",
                                "98年12月07日 00時30分　ログオフ"},
                      TimerCase{"across a month end", at(1998y / November / 30, 23h + 30min), "01時間後",
                                nullptr, "Option1", "98年12月01日 00時30分　ｼｬｯﾄﾀﾞｳﾝ"},
                      TimerCase{"across a year end", at(1999y / December / 31, 23h + 45min + 10s), nullptr,
                                "30分後", "Option1", "00年01月01日 00時15分　ｼｬｯﾄﾀﾞｳﾝ"},
                      TimerCase{"no offset is the minute running", at(kDay, 14h + 29min + 50s), "00時間後",
                                nullptr, "Option1", "98年12月06日 14時29分　ｼｬｯﾄﾀﾞｳﾝ"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name) {
            if (ch == ' ') ch = '_';
        }
        return name;
    });

TEST_F(Editing, RegisteringWithNeitherHourNorMinuteAsksForOneAndAddsNothing) {
    HeadlessApp& app = openAt(at(kDay, 14h));
    app.switchTab("TimeDateSet", "SSTab1", 1);
    app.click("TimeDateSet", "Command3");
    ASSERT_EQ(app.messageBoxes().size(), 1u);
    EXPECT_EQ(app.messageBoxes()[0].text, "「時」又は「分」を選択して下さい");
    EXPECT_EQ(app.messageBoxes()[0].title, "QuietusMachine");
    EXPECT_EQ(app.messageBoxes()[0].buttons, ui::MessageBoxButtons::Ok);

    // The clock label runs on behind the message.
    app.advance(2s);
    EXPECT_EQ(app.caption("TimeDateSet", "Label1"), "現在　　98年12月06日 14:00:02");
    app.answerMessageBox();
    EXPECT_TRUE(list().empty());
}

TEST_F(Editing, TheSelectionsStaySoRegisteringAgainAddsAnEntryFromTheNewTime) {
    HeadlessApp& app = openAt(at(kDay, 14h));
    app.switchTab("TimeDateSet", "SSTab1", 1);
    app.select("TimeDateSet", "List3", "10分後");
    app.click("TimeDateSet", "Command3");
    app.advance(3min);
    app.click("TimeDateSet", "Command3");
    EXPECT_EQ(list(), (std::vector<std::string>{"98年12月06日 14時10分　ｼｬｯﾄﾀﾞｳﾝ",
                                                "98年12月06日 14時13分　ｼｬｯﾄﾀﾞｳﾝ"}));
    EXPECT_EQ(app.control("TimeDateSet", "List3").listIndex(), 2);
}

TEST_F(Editing, TheRightButtonOnAnEmptyListOffersOnlyDeleteAll) {
    HeadlessApp& app = openAt(at(kDay, 14h));
    app.mouseDown("TimeDateSet", "List1", ui::kLeftButton);
    EXPECT_FALSE(app.popupMenu());
    app.rightClick("TimeDateSet", "List1");
    EXPECT_EQ(menuSeen(app), (std::vector<std::string>{"削除 (disabled)", "全て削除"}));
    EXPECT_THROW(app.pickMenuItem("削除"), std::logic_error);
    app.pickMenuItem("全て削除");
    EXPECT_TRUE(list().empty());
}

TEST_F(Editing, DeleteRemovesTheItemSelectedBeforeTheRightClick) {
    HeadlessApp& app =
        openAt(at(kDay, 14h), {"98年12月10日 09時00分　再起動", "98年12月11日 09時00分　ログオフ",
                               "98年12月12日 09時00分　強制終了"});
    app.select("TimeDateSet", "List1", 1);
    app.rightClick("TimeDateSet", "List1");
    EXPECT_EQ(menuSeen(app), (std::vector<std::string>{"削除", "全て削除"}));
    app.pickMenuItem("削除");
    EXPECT_EQ(list(),
              (std::vector<std::string>{"98年12月10日 09時00分　再起動", "98年12月12日 09時00分　強制終了"}));

    // The selection went with the item: "削除" is disabled again.
    app.rightClick("TimeDateSet", "List1");
    EXPECT_EQ(menuSeen(app), (std::vector<std::string>{"削除 (disabled)", "全て削除"}));
    app.dismissMenu();
    EXPECT_EQ(list().size(), 2u);

    // The Delete key does the same, and nothing without a selection.
    app.press("TimeDateSet", "List1", ui::Key::Delete);
    EXPECT_EQ(list().size(), 2u);
    app.select("TimeDateSet", "List1", 0);
    app.press("TimeDateSet", "List1", ui::Key::Delete);
    EXPECT_EQ(list(), std::vector<std::string>{"98年12月12日 09時00分　強制終了"});
}

TEST_F(Editing, DeleteAllEmptiesTheListButNotTheFile) {
    HeadlessApp& app =
        openAt(at(kDay, 14h), {"98年12月10日 09時00分　再起動", "毎日実行　　　　22時30分　再起動"});
    const std::string before = scheduleBytes();
    app.select("TimeDateSet", "List1", 0);
    app.rightClick("TimeDateSet", "List1");
    app.pickMenuItem("全て削除");
    EXPECT_TRUE(list().empty());
    EXPECT_EQ(scheduleBytes(), before);
}

struct PastCase {
    const char* what;
    std::vector<std::string> before;
    std::vector<std::string> after;
};

void PrintTo(const PastCase& c, std::ostream* out) {
    *out << c.what;
}

class DeletePast : public Editing, public ::testing::WithParamInterface<PastCase> {};

TEST_P(DeletePast, RemovesEveryDatedEntryWhoseMinuteHasBegun) {
    HeadlessApp& app = openAt(at(kDay, 10h + 0min + 30s), GetParam().before);
    app.switchTab("TimeDateSet", "SSTab1", 2);
    app.click("TimeDateSet", "Command5");
    EXPECT_EQ(list(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, DeletePast,
    ::testing::Values(PastCase{"the example list",
                               {"98年01月01日 10時00分　再起動", "毎日実行　　　　10時00分　再起動",
                                "98年12月24日 10時00分　ログオフ"},
                               {"毎日実行　　　　10時00分　再起動", "98年12月24日 10時00分　ログオフ"}},
                      PastCase{"every-day entries only",
                               {"毎日実行　　　　09時00分　再起動", "毎日実行　　　　23時00分　ログオフ"},
                               {"毎日実行　　　　09時00分　再起動", "毎日実行　　　　23時00分　ログオフ"}},
                      PastCase{"the current minute counts as past",
                               {"98年12月06日 10時00分　再起動", "98年12月06日 10時01分　再起動"},
                               {"98年12月06日 10時01分　再起動"}},
                      PastCase{"neighbours removed in a row",
                               {"99年01月01日 00時00分　再起動", "98年12月06日 09時59分　再起動",
                                "98年12月05日 23時00分　再起動", "50年01月01日 00時00分　再起動"},
                               {"99年01月01日 00時00分　再起動"}},
                      PastCase{"nothing to do on an empty list", {}, {}}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name) {
            if (ch == ' ' || ch == '-') ch = '_';
        }
        return name;
    });

TEST_F(Editing, AnEntryForTheMinuteAlreadyRunningGoesAtOnceWithDeletePast) {
    HeadlessApp& app = openAt(at(kDay, 14h + 29min + 50s));
    app.switchTab("TimeDateSet", "SSTab1", 1);
    app.select("TimeDateSet", "List3", "00分後");
    app.click("TimeDateSet", "Command3");
    ASSERT_EQ(list().size(), 1u);
    app.switchTab("TimeDateSet", "SSTab1", 2);
    app.click("TimeDateSet", "Command5");
    EXPECT_TRUE(list().empty());
}

TEST_F(Editing, EditsThenCancelLeaveTheFileAndReopeningShowsTheOldList) {
    const std::vector<std::string> lines{"98年01月01日 10時00分　再起動", "98年12月24日 10時00分　ログオフ"};
    HeadlessApp& app = openAt(at(kDay, 14h), lines);
    const std::string before = scheduleBytes();
    app.switchTab("TimeDateSet", "SSTab1", 1);
    app.select("TimeDateSet", "List2", "02時間後");
    app.click("TimeDateSet", "Command3");
    app.switchTab("TimeDateSet", "SSTab1", 2);
    app.click("TimeDateSet", "Command5");
    app.click("TimeDateSet", "Command2");

    EXPECT_EQ(scheduleBytes(), before);
    openSettings(app);
    EXPECT_EQ(list(), lines);
    EXPECT_EQ(app.control("TimeDateSet", "SSTab1").currentTab(), 0);
}

}  // namespace
}  // namespace qm::scenarios
