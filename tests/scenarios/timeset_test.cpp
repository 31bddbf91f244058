// The time-of-day dialog: opened by a day on the settings window's calendar, it adds a dated or
// every-day entry to the settings list; the typed hour and minute are checked (mended).
#include <cstdio>
#include <ostream>

#include "tests/scenarios/scenario.h"

namespace qm::scenarios {
namespace {

const year_month_day kToday = 1998y / December / 1;
const year_month_day kPicked = 1998y / December / 6;

class TimeOfDay : public Scenario {
protected:
    // The settings window open at 0:05:10 and a click on 6 December.
    HeadlessApp& openDialog(const std::vector<std::string>& lines = {}) {
        if (!lines.empty()) writeSchedule(lines);
        HeadlessApp& app = startAt(at(kToday, 0h + 5min + 10s));
        openSettings(app);
        app.clickCalendarDay("TimeDateSet", "Calendar1", kPicked);
        return app;
    }
    std::vector<std::string> list() { return app().settingsList(); }
};

std::vector<std::string> numbered(int count, const char* unit) {
    std::vector<std::string> out;
    for (int n = 0; n < count; ++n) {
        char item[32];
        std::snprintf(item, sizeof item, "%02d%s", n, unit);
        out.push_back(item);
    }
    return out;
}

TEST_F(TimeOfDay, ADayOnTheCalendarOpensTheDialogWithThatDayAndTheClocksHourAndMinute) {
    HeadlessApp& app = openDialog();
    ASSERT_TRUE(app.isVisible("TimeSet"));
    EXPECT_TRUE(app.isVisible("TimeDateSet"));  // modeless: the settings window stays
    EXPECT_EQ(app.backend.zOrder().back(), &app.form("TimeSet"));
    EXPECT_EQ(app.form("TimeSet").caption(), "時刻の設定");
    EXPECT_EQ(app.caption("TimeSet", "Label1"), "98年12月06日");
    EXPECT_EQ(app.caption("TimeSet", "Combo1"), "00時");
    EXPECT_EQ(app.caption("TimeSet", "Combo2"), "05分");
    EXPECT_EQ(app.items("TimeSet", "Combo1"), numbered(24, "時"));
    EXPECT_EQ(app.items("TimeSet", "Combo2"), numbered(60, "分"));
    EXPECT_EQ(app.control("TimeSet", "Combo1").listIndex(), -1);
    EXPECT_TRUE(app.control("TimeSet", "Option6").value());
    EXPECT_FALSE(app.control("TimeSet", "Option5").value());
    EXPECT_TRUE(app.control("TimeSet", "Option1").value());

    EXPECT_EQ(app.caption("TimeSet", "Label2"), "現在時刻");
    app.advance(100ms);
    EXPECT_EQ(app.caption("TimeSet", "Label2"), "現在時刻　0:05:10");
    app.advance(1h);
    EXPECT_EQ(app.caption("TimeSet", "Label2"), "現在時刻　1:05:10");
}

TEST_F(TimeOfDay, RegisterWithTheDefaultsAppendsADatedShutDownEntryWithTheHalfWidthWord) {
    HeadlessApp& app = openDialog({"毎日実行　　　　22時30分　再起動"});
    const std::string before = scheduleBytes();
    app.click("TimeSet", "Command1");
    EXPECT_EQ(list(), (std::vector<std::string>{"毎日実行　　　　22時30分　再起動",
                                                "98年12月06日 00時05分　ｼｬｯﾄﾀﾞｳﾝ"}));
    EXPECT_FALSE(app.isLoaded("TimeSet"));
    EXPECT_EQ(scheduleBytes(), before);  // the list only, until "設定"
}

TEST_F(TimeOfDay, EveryDayEntriesIgnoreTheDateAndTakeTheChosenMethod) {
    HeadlessApp& app = openDialog();
    app.click("TimeSet", "Option5");
    app.click("TimeSet", "Option3");
    app.pickComboItem("TimeSet", "Combo1", "13時");
    app.pickComboItem("TimeSet", "Combo2", "05分");
    app.click("TimeSet", "Command1");
    EXPECT_EQ(list(), std::vector<std::string>{"毎日実行　　　　13時05分　再起動"});
}

TEST_F(TimeOfDay, TheLaterDayAndMethodOptionsWriteTheirLayoutsAndWords) {
    struct Case {
        const char* timing;
        const char* method;
        const char* entry;
    };
    // 6 December 1998 was a Sunday.
    for (Case c : {Case{"Option7", "Option10", "平日実行　　　　13時05分　スリープ"},
                          Case{"Option8", "Option11", "週末実行　　　　13時05分　休止状態"},
                          Case{"Option9", "Option12", "毎週日曜　　　　13時05分　ロック"},
                          Case{"Option6", "Option10", "98年12月06日 13時05分　スリープ"},
                          Case{"Option13", "Option12", ""}}) {  // 13 hours idle: too long
        HeadlessApp& app = openDialog();
        EXPECT_EQ(app.caption("TimeSet", "Option9"), "毎週日曜日");
        EXPECT_TRUE(app.control("TimeSet", "Option6").value());  // the defaults stay
        EXPECT_TRUE(app.control("TimeSet", "Option1").value());
        app.click("TimeSet", c.timing);
        app.click("TimeSet", c.method);
        app.pickComboItem("TimeSet", "Combo1", "13時");
        app.pickComboItem("TimeSet", "Combo2", "05分");
        app.click("TimeSet", "Command1");
        if (!*c.entry) {
            EXPECT_EQ(app.messageBoxes().at(0).text, "無操作時の時間は00時01分から12時00分までにして下さい");
            app.answerMessageBox();
            app.pickComboItem("TimeSet", "Combo1", "01時");
            app.pickComboItem("TimeSet", "Combo2", "30分");
            app.click("TimeSet", "Command1");
            c.entry = "無操作時　　　　01時30分　ロック";
        }
        EXPECT_EQ(list(), std::vector<std::string>{c.entry}) << c.entry;
    }
}

TEST_F(TimeOfDay, ASecondDayClickedWhileOpenOnlyRaisesTheDialogWhichKeepsTheFirstDay) {
    HeadlessApp& app = openDialog();
    const ui::Control* label = &app.control("TimeSet", "Label1");
    app.type("TimeSet", "Combo1", "07時");
    app.clickCalendarDay("TimeDateSet", "Calendar1", 1998y / December / 24);

    EXPECT_EQ(&app.control("TimeSet", "Label1"), label);  // not loaded afresh
    EXPECT_EQ(app.caption("TimeSet", "Label1"), "98年12月06日");
    EXPECT_EQ(app.caption("TimeSet", "Combo1"), "07時");
    EXPECT_EQ(app.backend.zOrder().back(), &app.form("TimeSet"));
    app.click("TimeSet", "Command1");
    EXPECT_EQ(list(), std::vector<std::string>{"98年12月06日 07時05分　ｼｬｯﾄﾀﾞｳﾝ"});
}

class CancelDialog : public TimeOfDay, public ::testing::WithParamInterface<bool> {};

TEST_P(CancelDialog, CancelAndTheCloseBoxAddNothingAndTheNextOpeningStartsFromTheDefaults) {
    HeadlessApp& app = openDialog({"毎日実行　　　　22時30分　再起動"});
    const std::string before = scheduleBytes();
    app.click("TimeSet", "Option5");
    app.click("TimeSet", "Option4");
    if (GetParam()) {
        app.pressCloseBox("TimeSet");
    } else {
        app.click("TimeSet", "Command2");
    }
    EXPECT_FALSE(app.isLoaded("TimeSet"));
    EXPECT_EQ(list(), std::vector<std::string>{"毎日実行　　　　22時30分　再起動"});
    EXPECT_EQ(scheduleBytes(), before);

    app.clickCalendarDay("TimeDateSet", "Calendar1", kPicked);
    EXPECT_TRUE(app.control("TimeSet", "Option6").value());
    EXPECT_TRUE(app.control("TimeSet", "Option1").value());
}

INSTANTIATE_TEST_SUITE_P(CancelOrCloseBox, CancelDialog, ::testing::Bool());

TEST_F(TimeOfDay, TheSameChoicesOnTwoOpeningsGiveTwoIdenticalLines) {
    HeadlessApp& app = openDialog();
    app.click("TimeSet", "Command1");
    app.clickCalendarDay("TimeDateSet", "Calendar1", kPicked);
    app.click("TimeSet", "Command1");
    EXPECT_EQ(list(), (std::vector<std::string>{"98年12月06日 00時05分　ｼｬｯﾄﾀﾞｳﾝ",
                                                "98年12月06日 00時05分　ｼｬｯﾄﾀﾞｳﾝ"}));
}

TEST_F(TimeOfDay, AnEntryAddedAfterTheSettingsWindowClosedWaitsInItsListUnsaved) {
    HeadlessApp& app = openDialog({"毎日実行　　　　22時30分　再起動"});
    const std::string before = scheduleBytes();
    app.click("TimeDateSet", "Command2");
    ASSERT_FALSE(app.isLoaded("TimeDateSet"));
    app.click("TimeSet", "Command1");

    EXPECT_FALSE(app.isLoaded("TimeDateSet"));  // the list holds it; no window loads for that
    EXPECT_TRUE(app.program.scheduleList.isLoaded());
    EXPECT_EQ(scheduleBytes(), before);
    openSettings(app);
    EXPECT_EQ(list(), (std::vector<std::string>{"毎日実行　　　　22時30分　再起動",
                                                "98年12月06日 00時05分　ｼｬｯﾄﾀﾞｳﾝ"}));
}

TEST_F(TimeOfDay, AnAddedEntryIsLostWhenTheSettingsAreCancelled) {
    HeadlessApp& app = openDialog();
    app.click("TimeSet", "Command1");
    app.click("TimeDateSet", "Command2");
    EXPECT_FALSE(scheduleExists());
    openSettings(app);
    EXPECT_TRUE(list().empty());
}

// Mended: the dialog does not create entries that can never fire.

struct TypedCase {
    const char* hour;
    const char* minute;
    const char* result;  // the entry's time and method, or the message
};

void PrintTo(const TypedCase& c, std::ostream* out) {
    *out << '"' << c.hour << "\" \"" << c.minute << '"';
}

class TypedTime : public TimeOfDay, public ::testing::WithParamInterface<TypedCase> {};

constexpr const char* kBadHour = "「時」には0から23までの数字を入力して下さい";
constexpr const char* kBadMinute = "「分」には0から59までの数字を入力して下さい";

TEST_P(TypedTime, RegisterAcceptsOnlyAnHourAndMinuteThatCanFireAndWritesThemWithTwoDigits) {
    const TypedCase& c = GetParam();
    HeadlessApp& app = openDialog();
    app.type("TimeSet", "Combo1", c.hour);
    app.type("TimeSet", "Combo2", c.minute);
    app.click("TimeSet", "Command1");

    const std::string result = c.result;
    if (result == kBadHour || result == kBadMinute) {
        ASSERT_EQ(app.messageBoxes().size(), 1u);
        EXPECT_EQ(app.messageBoxes()[0].text, result);
        EXPECT_EQ(app.messageBoxes()[0].title, "QuietusMachine");
        EXPECT_EQ(app.messageBoxes()[0].buttons, ui::MessageBoxButtons::Ok);
        app.answerMessageBox();
        EXPECT_TRUE(list().empty());
        EXPECT_TRUE(app.isVisible("TimeSet"));  // to be corrected
    } else {
        EXPECT_TRUE(app.messageBoxes().empty());
        EXPECT_EQ(list(), std::vector<std::string>{"98年12月06日 " + result});
        EXPECT_FALSE(app.isLoaded("TimeSet"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TypedTime,
    ::testing::Values(TypedCase{"9", "5", "09時05分　ｼｬｯﾄﾀﾞｳﾝ"},
                      TypedCase{"9時", "5分", "09時05分　ｼｬｯﾄﾀﾞｳﾝ"},
                      TypedCase{"0", "0", "00時00分　ｼｬｯﾄﾀﾞｳﾝ"},
                      TypedCase{"23時", "59分", "23時59分　ｼｬｯﾄﾀﾞｳﾝ"},
                      TypedCase{"07", "08分", "07時08分　ｼｬｯﾄﾀﾞｳﾝ"},
                      TypedCase{"１２時", "３０", "12時30分　ｼｬｯﾄﾀﾞｳﾝ"}, TypedCase{"24時", "00分", kBadHour},
                      TypedCase{"", "00分", kBadHour}, TypedCase{"時", "00分", kBadHour},
                      TypedCase{"123", "00分", kBadHour}, TypedCase{"1a", "00分", kBadHour},
                      TypedCase{" 9", "00分", kBadHour}, TypedCase{"-1", "00分", kBadHour},
                      TypedCase{"12分", "00分", kBadHour}, TypedCase{"12時", "60分", kBadMinute},
                      TypedCase{"12時", "", kBadMinute}, TypedCase{"12時", "5分後", kBadMinute},
                      TypedCase{"12時", "5時", kBadMinute}, TypedCase{"99", "99", kBadHour}));

TEST_F(TimeOfDay, AnEveryDayEntryFromTypedTimeIsZeroPaddedToo) {
    HeadlessApp& app = openDialog();
    app.click("TimeSet", "Option5");
    app.type("TimeSet", "Combo1", "6");
    app.type("TimeSet", "Combo2", "3分");
    app.click("TimeSet", "Command1");
    EXPECT_EQ(list(), std::vector<std::string>{"毎日実行　　　　06時03分　ｼｬｯﾄﾀﾞｳﾝ"});
}

}  // namespace
}  // namespace qm::scenarios
