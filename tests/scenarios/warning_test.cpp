// The exit warning: an entry coming due, the warning's texts, the count with its colours, the
// request at zero for each method, "OK", "中止", and the faults we mend.
#include <functional>
#include <map>
#include <ostream>

#include "tests/scenarios/scenario.h"

namespace qm::scenarios {
namespace {

const year_month_day kDay = 1998y / December / 1;
const auto kJustBefore = at(kDay, 21h + 29min + 50s);
const auto kDue = at(kDay, 21h + 30min);

std::string entryAt2130(std::string_view method) {
    return "98年12月01日 21時30分　" + std::string(method);
}

class Warning : public Scenario {
protected:
    // The program running with one entry at 21:30 and the warning just opened.
    HeadlessApp& openWarningFor(std::string_view method, std::vector<std::string> moreLines = {}) {
        std::vector<std::string> lines{entryAt2130(method)};
        lines.insert(lines.end(), moreLines.begin(), moreLines.end());
        writeSchedule(lines);
        HeadlessApp& app = startAt(kJustBefore);
        advanceTo(kDue);
        return app;
    }
};

TEST_F(Warning, TheWorkedExampleOpensAtHalfPastNineWithTheShutDownWord) {
    writeSchedule({"98年12月10日 09時00分　再起動", "毎日実行　　　　08時00分　ログオフ",
                   "98年11月30日 23時00分　強制終了", "毎日実行　　　　21時30分　ｼｬｯﾄﾀﾞｳﾝ",
                   "98年12月01日 21時30分　再起動"});
    HeadlessApp& app = startAt(at(kDay, 10h + 0min + 20s));
    EXPECT_EQ(nextDue(), (NextDue{local_days{kDay}, 21h + 30min, MethodWord::parse("ｼｬｯﾄﾀﾞｳﾝ")}));

    advanceTo(kDue - 100ms);
    EXPECT_FALSE(app.isLoaded("EndMessege"));
    advanceTo(kDue);
    EXPECT_TRUE(app.isVisible("EndMessege"));
    EXPECT_TRUE(app.isOnScreen("EndMessege"));
    EXPECT_EQ(app.form("EndMessege").caption(), "ｼｬｯﾄﾀﾞｳﾝ確認");
}

// The file keeps two digits of the year, read in the hundred years around the current one: an
// entry on New Year's Day just past a decade or a window boundary fires when the year turns.
TEST_F(Warning, TwoDigitYearsPastTheOldCenturyRuleFireAsTheYearTurns) {
    for (const auto& [line, eve] : {std::pair{"30年01月01日 00時00分　再起動", 2029y / December / 31},
                                    std::pair{"76年01月01日 00時00分　再起動", 2075y / December / 31}}) {
        writeSchedule({line});
        HeadlessApp& app = startAt(at(eve, 23h + 59min + 50s));
        advanceTo(at(eve, 24h) - 100ms);
        EXPECT_FALSE(app.isLoaded("EndMessege")) << line;
        advanceTo(at(eve, 24h));
        EXPECT_TRUE(app.isVisible("EndMessege")) << line;
    }
}

struct MethodCase {
    const char* word;
    SessionRequest request;
};

void PrintTo(const MethodCase& c, std::ostream* out) {
    *out << c.word;
}

class EachMethod : public Warning, public ::testing::WithParamInterface<MethodCase> {};

TEST_P(EachMethod, AnnouncesTheMethodCountsDownAndRequestsItAbout31SecondsAfterOpening) {
    const MethodCase& c = GetParam();
    HeadlessApp& app = openWarningFor(c.word);

    ASSERT_TRUE(app.isVisible("EndMessege"));
    EXPECT_EQ(app.form("EndMessege").caption(), std::string(c.word) + "確認");
    EXPECT_EQ(app.caption("EndMessege", "Label4"), "設定時間が来ました");
    EXPECT_EQ(app.caption("EndMessege", "Label1"), "このまま何もしなければ３０秒後に");
    EXPECT_EQ(app.caption("EndMessege", "Label2"), std::string(c.word) + "します。");
    EXPECT_EQ(app.caption("EndMessege", "Label3"), "30");
    EXPECT_EQ(app.control("EndMessege", "Label3").foreColour(), 0x00000000u);
    EXPECT_TRUE(app.form("EndMessege").closeDisabled());
    // Centred on the screen.
    EXPECT_EQ(app.form("EndMessege").left(),
              (app.backend.screenSize().width - app.form("EndMessege").width()) / 2);

    advanceTo(kDue + 30s + 900ms);
    EXPECT_EQ(app.caption("EndMessege", "Label3"), "0");
    EXPECT_TRUE(app.session.requests.empty());
    EXPECT_FALSE(app.ended());

    advanceTo(kDue + 31s);
    EXPECT_EQ(app.session.requests, std::vector<SessionRequest>{c.request});
    EXPECT_TRUE(app.ended());
    // The program ended at once: the tray window's unload, which removes the icon, did not run.
    EXPECT_TRUE(app.tray.shown());
    EXPECT_NE(app.tray.calls.back().op, headless::RecordingTrayIcon::Op::Remove);
}

INSTANTIATE_TEST_SUITE_P(Methods, EachMethod,
                         ::testing::Values(MethodCase{"ｼｬｯﾄﾀﾞｳﾝ", SessionRequest::PowerOff},
                                           MethodCase{"強制終了", SessionRequest::ForcedPowerOff},
                                           MethodCase{"再起動", SessionRequest::Reboot},
                                           MethodCase{"ログオフ", SessionRequest::LogOff}));

TEST_F(Warning, TheLastNineNumbersRunFromDarkGreyToRedAndZeroStaysRed) {
    HeadlessApp& app = openWarningFor("ｼｬｯﾄﾀﾞｳﾝ");
    const std::map<std::string, ui::Colour> coloured{
        {"9", 0x00404040}, {"8", 0x00808080}, {"7", 0x00FF00FF}, {"6", 0x00FF0000}, {"5", 0x00FFFF00},
        {"4", 0x0000FF00}, {"3", 0x0000FFFF}, {"2", 0x000080FF}, {"1", 0x000000FF}, {"0", 0x000000FF},
    };
    for (int second = 1; second <= 30; ++second) {
        advanceTo(kDue + seconds(second));
        const std::string expected = std::to_string(30 - second);
        EXPECT_EQ(app.caption("EndMessege", "Label3"), expected);
        const auto it = coloured.find(expected);
        EXPECT_EQ(app.control("EndMessege", "Label3").foreColour(),
                  it == coloured.end() ? 0x00000000u : it->second)
            << expected;
    }
}

TEST_F(Warning, OkHidesItAndTheSessionStillEndsOnTime) {
    HeadlessApp& app = openWarningFor("再起動");
    app.advance(2s);
    app.click("EndMessege", "Command1");
    EXPECT_FALSE(app.isVisible("EndMessege"));
    EXPECT_TRUE(app.isLoaded("EndMessege"));

    advanceTo(kDue + 30s + 900ms);
    EXPECT_EQ(app.caption("EndMessege", "Label3"), "0");  // counted on unseen
    EXPECT_TRUE(app.session.requests.empty());
    advanceTo(kDue + 31s);
    EXPECT_EQ(app.session.requests, std::vector<SessionRequest>{SessionRequest::Reboot});
}

TEST_F(Warning, OkWithinTheDueSecondLetsTheNextDueCheckShowItAgainWithTheCountWhereItWas) {
    HeadlessApp& app = openWarningFor("ｼｬｯﾄﾀﾞｳﾝ");
    app.click("EndMessege", "Command1");
    EXPECT_FALSE(app.isVisible("EndMessege"));
    app.advance(100ms);
    EXPECT_TRUE(app.isVisible("EndMessege"));
    EXPECT_EQ(app.caption("EndMessege", "Label3"), "30");

    // Once the second is over, OK hides it for good.
    advanceTo(kDue + 5s);
    app.click("EndMessege", "Command1");
    advanceTo(kDue + 30s);
    EXPECT_FALSE(app.isVisible("EndMessege"));
}

TEST_F(Warning, AbortClosesItWithoutRequestAndTheNextEntryWarnsAfreshFromThirty) {
    HeadlessApp& app = openWarningFor("ｼｬｯﾄﾀﾞｳﾝ", {"98年12月01日 21時45分　ログオフ"});
    advanceTo(kDue + 12s);
    EXPECT_EQ(app.control("EndMessege", "Label3").foreColour(), 0x00000000u);
    advanceTo(kDue + 25s);
    EXPECT_EQ(app.caption("EndMessege", "Label3"), "5");
    app.click("EndMessege", "Command2");

    EXPECT_FALSE(app.isLoaded("EndMessege"));
    EXPECT_EQ(nextDue(), (NextDue{local_days{kDay}, 21h + 45min, MethodWord::parse("ログオフ")}));
    advanceTo(at(kDay, 21h + 44min + 59s));
    EXPECT_TRUE(app.session.requests.empty());
    EXPECT_FALSE(app.isLoaded("EndMessege"));

    advanceTo(at(kDay, 21h + 45min));
    EXPECT_TRUE(app.isVisible("EndMessege"));
    EXPECT_EQ(app.form("EndMessege").caption(), "ログオフ確認");
    EXPECT_EQ(app.caption("EndMessege", "Label3"), "30");
    EXPECT_EQ(app.control("EndMessege", "Label3").foreColour(), 0x00000000u);
}

TEST_F(Warning, TheCloseBoxDoesNothing) {
    HeadlessApp& app = openWarningFor("ｼｬｯﾄﾀﾞｳﾝ");
    app.pressCloseBox("EndMessege");
    EXPECT_TRUE(app.isVisible("EndMessege"));
    advanceTo(kDue + 31s);
    EXPECT_EQ(app.session.requests, std::vector<SessionRequest>{SessionRequest::PowerOff});
}

TEST_F(Warning, ItKeepsTickingWhileTheTrayMenuIsOpen) {
    HeadlessApp& app = openWarningFor("ｼｬｯﾄﾀﾞｳﾝ");
    app.trayClick(TrayClick::Primary);
    advanceTo(kDue + 10s);
    EXPECT_EQ(app.caption("EndMessege", "Label3"), "20");
    app.dismissMenu();
}

struct UnknownWordCase {
    const char* word;
    const char* caption;
    const char* thirdLine;
};

void PrintTo(const UnknownWordCase& c, std::ostream* out) {
    *out << '"' << c.word << '"';
}

class UnknownWord : public Warning, public ::testing::WithParamInterface<UnknownWordCase> {};

TEST_P(UnknownWord, ShowsTheWordNeverRequestsAndAtZeroClosesNamingTheLineThenLaterEntriesFire) {
    const UnknownWordCase& c = GetParam();
    HeadlessApp& app = openWarningFor(c.word, {"98年12月01日 21時35分　再起動"});
    EXPECT_EQ(app.form("EndMessege").caption(), c.caption);
    EXPECT_EQ(app.caption("EndMessege", "Label2"), c.thirdLine);

    advanceTo(kDue + 30s + 900ms);
    EXPECT_EQ(app.caption("EndMessege", "Label3"), "0");
    advanceTo(kDue + 31s);
    EXPECT_TRUE(app.session.requests.empty());
    EXPECT_FALSE(app.isLoaded("EndMessege"));
    ASSERT_EQ(app.messageBoxes().size(), 1u);
    EXPECT_EQ(app.messageBoxes()[0].text, "1行目の予定「" + entryAt2130(c.word) +
                                              "」は終了方法が分からないため、実行しませんでした。");
    app.answerMessageBox();
    EXPECT_FALSE(app.ended());

    advanceTo(at(kDay, 21h + 35min));  // the next entry warns and ends the session as usual
    EXPECT_TRUE(app.isVisible("EndMessege"));
    advanceTo(at(kDay, 21h + 35min + 31s));
    EXPECT_EQ(app.session.requests, std::vector<SessionRequest>{SessionRequest::Reboot});
}

INSTANTIATE_TEST_SUITE_P(Words, UnknownWord,
                         ::testing::Values(UnknownWordCase{"", "確認", "します。"},
                                           UnknownWordCase{"ｼｬｯﾄﾀﾞｳﾝ ", "ｼｬｯﾄﾀﾞｳﾝ 確認", "ｼｬｯﾄﾀﾞｳﾝ します。"},
                                           UnknownWordCase{"シャットダウン", "シャットダウン確認",
                                                           "シャットダウンします。"}));

// Mended: the warning does what it announces.

TEST_F(Warning, ASaveDuringTheCountdownThatChoosesAnotherMethodDoesNotChangeTheRequest) {
    HeadlessApp& app = openWarningFor("ｼｬｯﾄﾀﾞｳﾝ");
    app.advance(5s);  // past the due second, so the entry counting down is in the past
    openSettings(app);
    app.switchTab("TimeDateSet", "SSTab1", 1);
    app.select("TimeDateSet", "List2", "01時間後");
    app.click("TimeDateSet", "Option3");
    app.click("TimeDateSet", "Command3");
    app.click("TimeDateSet", "Command1");
    EXPECT_EQ(nextDue().method.word, "再起動");

    advanceTo(kDue + 31s);
    EXPECT_EQ(app.session.requests, std::vector<SessionRequest>{SessionRequest::PowerOff});
    EXPECT_EQ(app.form("EndMessege").caption(), "ｼｬｯﾄﾀﾞｳﾝ確認");
}

TEST_F(Warning, ASaveOfAnEmptyListDuringTheCountdownStillEndsTheSessionAsAnnounced) {
    HeadlessApp& app = openWarningFor("強制終了");
    openSettings(app);
    app.rightClick("TimeDateSet", "List1");
    app.pickMenuItem("全て削除");
    app.click("TimeDateSet", "Command1");
    EXPECT_EQ(nextDue(), emptyNextDue());

    advanceTo(kDue + 31s);
    EXPECT_EQ(app.session.requests, std::vector<SessionRequest>{SessionRequest::ForcedPowerOff});
}

// Mended: "中止" aborts.

TEST_F(Warning, AbortWithinTheDueSecondDoesNotBringTheWarningBack) {
    HeadlessApp& app = openWarningFor("ｼｬｯﾄﾀﾞｳﾝ", {"98年12月01日 22時00分　再起動"});
    app.click("EndMessege", "Command2");
    EXPECT_FALSE(app.isLoaded("EndMessege"));

    advanceTo(kDue + 900ms);
    EXPECT_FALSE(app.isLoaded("EndMessege"));
    EXPECT_EQ(nextDue(), (NextDue{local_days{kDay}, 22h, MethodWord::parse("再起動")}));
    advanceTo(kDue + 40s);
    EXPECT_TRUE(app.session.requests.empty());
}

// Mended: a refused session end is not silent.

TEST_F(Warning, ARefusedRequestSaysWhyClosesTheWarningAndTheProgramStaysForTheNextEntry) {
    HeadlessApp& app = makeApp(kJustBefore);
    writeSchedule({entryAt2130("ｼｬｯﾄﾀﾞｳﾝ"), "98年12月01日 21時40分　ログオフ"});
    app.session.refusal = "この操作を行う特権がありません。";
    app.start();
    advanceTo(kDue + 31s);

    EXPECT_EQ(app.session.requests, std::vector<SessionRequest>{SessionRequest::PowerOff});
    EXPECT_FALSE(app.ended());
    EXPECT_FALSE(app.isLoaded("EndMessege"));
    ASSERT_EQ(app.messageBoxes().size(), 1u);
    EXPECT_EQ(app.messageBoxes()[0].text, "ｼｬｯﾄﾀﾞｳﾝできませんでした。\nこの操作を行う特権がありません。");
    EXPECT_EQ(app.messageBoxes()[0].title, "QuietusMachine");
    EXPECT_EQ(app.messageBoxes()[0].buttons, ui::MessageBoxButtons::Ok);
    EXPECT_TRUE(app.tray.shown());
    EXPECT_EQ(nextDue(), (NextDue{local_days{kDay}, 21h + 40min, MethodWord::parse("ログオフ")}));

    // The due check keeps running behind the message; the next entry warns as usual.
    app.session.refusal.reset();
    advanceTo(at(kDay, 21h + 40min));
    EXPECT_TRUE(app.isVisible("EndMessege"));
    app.answerMessageBox();
    advanceTo(at(kDay, 21h + 40min + 31s));
    EXPECT_EQ(app.session.requests, (std::vector<SessionRequest>{SessionRequest::PowerOff, SessionRequest::LogOff}));
    EXPECT_TRUE(app.ended());
}

// Entries for some days of the week, and the methods that leave the session running.

TEST_F(Warning, DayEntriesFireOnTheirDaysOnly) {
    struct Case {
        const char* entry;
        year_month_day day;  // 1 December 1998 was a Tuesday, the 5th a Saturday
        bool fires;
    };
    for (const Case& c : {Case{"平日実行　　　　21時30分　再起動", kDay, true},
                          Case{"平日実行　　　　21時30分　再起動", 1998y / December / 5, false},
                          Case{"週末実行　　　　21時30分　再起動", 1998y / December / 5, true},
                          Case{"週末実行　　　　21時30分　再起動", kDay, false},
                          Case{"毎週火曜　　　　21時30分　再起動", kDay, true},
                          Case{"毎週水曜　　　　21時30分　再起動", kDay, false}}) {
        writeSchedule({c.entry});
        HeadlessApp& app = startAt(at(c.day, 21h + 29min + 50s));
        advanceTo(at(c.day, 21h + 30min));
        EXPECT_EQ(app.isVisible("EndMessege"), c.fires) << c.entry;
    }
}

TEST_F(Warning, SleepHibernationAndLockAreRequestedAndTheProgramStaysForTheNextEntry) {
    for (const auto& [word, request] : {std::pair{"スリープ", SessionRequest::Suspend},
                                       std::pair{"休止状態", SessionRequest::Hibernate},
                                       std::pair{"ロック", SessionRequest::LockScreen}}) {
        HeadlessApp& app = openWarningFor(word, {"98年12月01日 21時35分　再起動"});
        EXPECT_EQ(app.form("EndMessege").caption(), std::string(word) + "確認");
        EXPECT_EQ(app.caption("EndMessege", "Label2"), std::string(word) + "します。");
        advanceTo(kDue + 31s);
        EXPECT_EQ(app.session.requests, std::vector<SessionRequest>{request}) << word;
        EXPECT_FALSE(app.ended()) << word;
        EXPECT_FALSE(app.isLoaded("EndMessege")) << word;
        advanceTo(at(kDay, 21h + 35min));
        EXPECT_EQ(app.form("EndMessege").caption(), "再起動確認") << word;
    }
}

TEST_F(Warning, ANoticeComesFiveMinutesBeforeOnceAndOnlyWhenThatSecondIsSeenRunning) {
    struct Case {
        const char* what;
        const char* method;
        std::function<void(HeadlessApp&)> before;  // what happens from 21:24:50 to 21:25:10
        bool noticed;
    };
    const auto notice = at(kDay, 21h + 25min);
    for (const Case& c : {
             Case{"running", "ｼｬｯﾄﾀﾞｳﾝ", [&](HeadlessApp&) { advanceTo(notice + 10s); }, true},
             Case{"another method", "スリープ", [&](HeadlessApp&) { advanceTo(notice + 10s); }, true},
             Case{"paused over it", "ｼｬｯﾄﾀﾞｳﾝ",
                  [&](HeadlessApp& app) {
                      app.trayClick(TrayClick::Secondary);
                      advanceTo(notice + 10s);
                      app.trayClick(TrayClick::Secondary);
                  },
                  false},
             Case{"clock set past it", "ｼｬｯﾄﾀﾞｳﾝ",
                  [&](HeadlessApp& app) {
                      app.clock.set(notice + 30s);
                      app.advance(2s);
                  },
                  false},
             Case{"no method", "ｼｬｯﾄﾀﾞｳﾝ (test)", [&](HeadlessApp&) { advanceTo(notice + 10s); }, false},
         }) {
        writeSchedule({entryAt2130(c.method)});
        HeadlessApp& app = startAt(notice - 10s);
        c.before(app);
        using Notices = std::vector<headless::RecordingTrayIcon::Notice>;
        const std::string caption = c.method == std::string("スリープ") ? "スリープ" : "シャットダウン";
        const Notices expected =
            c.noticed ? Notices{{"QuietusMachine", "５分後に" + caption + "します。"}} : Notices{};
        EXPECT_EQ(app.tray.notices, expected) << c.what;
        advanceTo(kDue - 1s);
        EXPECT_EQ(app.tray.notices.size(), c.noticed ? 1u : 0u) << c.what;
    }

    // Each entry that will fire gets its notice, whatever lies between: one due two minutes after
    // another (its notice falls before the first fires), and one just after midnight (its notice
    // falls on the day before).
    struct Ahead {
        std::vector<std::string> lines;
        headless::VirtualTime start, end;
        std::vector<headless::VirtualTime> notices;
    };
    for (const Ahead& c : {
             Ahead{{entryAt2130("再起動"), "98年12月01日 21時32分　ログオフ"}, at(kDay, 21h + 20min),
                   at(kDay, 21h + 29min), {at(kDay, 21h + 25min), at(kDay, 21h + 27min)}},
             Ahead{{"毎日実行　　　　00時02分　ロック", "平日実行　　　　00時04分　スリープ"}, at(kDay, 23h + 50min),
                   at(kDay, 23h + 59min + 30s), {at(kDay, 23h + 57min), at(kDay, 23h + 59min)}},
         }) {
        writeSchedule(c.lines);
        HeadlessApp& app = startAt(c.start);
        std::vector<headless::VirtualTime> seen;
        for (int steps = 0; app.clock.now() < c.end && steps < 3600; ++steps) {
            const std::size_t before = app.tray.notices.size();
            app.advance(1s);
            if (app.tray.notices.size() != before) seen.push_back(floor<seconds>(app.clock.now()));
        }
        EXPECT_EQ(seen, c.notices) << c.lines[0];
    }

    // An entry added less than five minutes ahead gets none.
    HeadlessApp& app = startAt(notice + 10s);
    openSettings(app);
    app.switchTab("TimeDateSet", "SSTab1", 1);
    app.select("TimeDateSet", "List3", "00分後");
    app.click("TimeDateSet", "Command3");
    app.click("TimeDateSet", "Command1");
    advanceTo(notice + 11min);
    EXPECT_TRUE(app.tray.notices.empty());
}

}  // namespace
}  // namespace qm::scenarios
