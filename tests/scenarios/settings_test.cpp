// The settings window: loading, the clock label, saving (to the byte) and cancelling, and the
// failed save we mend.
#include <algorithm>
#include <cstdio>
#include <ostream>
#include <thread>

#include "platform/os_services.h"
#include "tests/scenarios/scenario.h"

namespace qm::scenarios {
namespace {

const year_month_day kDay = 1998y / December / 6;

std::vector<std::string> hoursItems() {
    std::vector<std::string> out;
    for (int h = 0; h <= 23; ++h) {
        char item[32];
        std::snprintf(item, sizeof item, "%02d時間後", h);
        out.push_back(item);
    }
    return out;
}

class Settings : public Scenario {
protected:
    HeadlessApp& openAt(headless::VirtualTime time) {
        HeadlessApp& app = startAt(time);
        openSettings(app);
        return app;
    }
};

TEST_F(Settings, OpensWithTheFileInItsListTheHourAndMinuteListsAndTheFirstTab) {
    writeSchedule({"98年12月10日 09時00分　再起動", "98年12月10日 09時00分　再起動",
                   "毎日実行　　　　22時30分　再起動"});
    HeadlessApp& app = openAt(at(kDay, 14h + 30min));

    EXPECT_TRUE(app.isOnScreen("TimeDateSet"));
    EXPECT_EQ(app.form("TimeDateSet").caption(), "QuietusMachine");
    EXPECT_EQ(app.items("TimeDateSet", "List1"),
              (std::vector<std::string>{"98年12月10日 09時00分　再起動", "98年12月10日 09時00分　再起動",
                                        "毎日実行　　　　22時30分　再起動"}));
    EXPECT_EQ(app.items("TimeDateSet", "List2"), hoursItems());
    EXPECT_EQ(app.items("TimeDateSet", "List3"),
              (std::vector<std::string>{"00分後", "05分後", "10分後", "15分後", "20分後", "25分後", "30分後",
                                        "35分後", "40分後", "45分後", "50分後", "55分後"}));
    for (const char* list : {"List1", "List2", "List3"})
        EXPECT_EQ(app.control("TimeDateSet", list).listIndex(), -1) << list;
    EXPECT_TRUE(app.control("TimeDateSet", "Option1").value());
    EXPECT_EQ(app.control("TimeDateSet", "SSTab1").currentTab(), 0);
    EXPECT_TRUE(app.canSee("TimeDateSet", "Calendar1"));
    EXPECT_FALSE(app.canSee("TimeDateSet", "Command3"));
    EXPECT_EQ(app.control("TimeDateSet", "Calendar1").date(), kDay);
    EXPECT_EQ(app.control("TimeDateSet", "Command1").props().tooltip,
              "このボタンを押さないと設定が有効に成りません");
}

TEST_F(Settings, WithoutAFileItOpensEmpty) {
    HeadlessApp& app = openAt(at(kDay, 14h + 30min));
    EXPECT_TRUE(app.items("TimeDateSet", "List1").empty());
    EXPECT_EQ(app.items("TimeDateSet", "List2").size(), 24u);
    EXPECT_EQ(app.items("TimeDateSet", "List3").size(), 12u);
}

TEST_F(Settings, TheTabOrderRunsFromSetThroughTheListToTheHelpButton) {
    HeadlessApp& app = openAt(at(kDay, 14h + 30min));
    std::vector<const ui::Control*> ordered;
    for (const auto& c : app.form("TimeDateSet").controls()) {
        if (c->props().tabIndex >= 0) ordered.push_back(c.get());
    }
    std::sort(ordered.begin(), ordered.end(), [](const ui::Control* a, const ui::Control* b) {
        return a->props().tabIndex < b->props().tabIndex;
    });
    std::vector<std::string> names;
    for (const ui::Control* c : ordered) names.push_back(c->name());
    EXPECT_EQ(names, (std::vector<std::string>{
                         "Command1", "List1",     "Command2", "Label1",   "SSTab1",   "Calendar1", "Frame1",
                         "Option4",  "Option3",   "Option2",  "Option1",  "Command3", "Label2(0)", "List2",
                         "List3",    "Label2(1)", "Command4", "Command5", "Command6", "Command7",
                         "Option10", "Option11",  "Option12"}));
}

struct ClockCase {
    headless::VirtualTime moment;  // the first tick comes 100 ms later
    const char* label;
};

void PrintTo(const ClockCase& c, std::ostream* out) {
    *out << c.label;
}

class ClockLabel : public Settings, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(ClockLabel, ShowsTheTwoDigitYearAndTheTimeEvery100Ms) {
    HeadlessApp& app = openAt(GetParam().moment);
    EXPECT_EQ(app.caption("TimeDateSet", "Label1"), "Label1");
    app.advance(100ms);
    EXPECT_EQ(app.caption("TimeDateSet", "Label1"), GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(
    Moments, ClockLabel,
    ::testing::Values(
        ClockCase{at(kDay, 14h + 30min + 24s) + 900ms, "現在　　98年12月06日 14:30:25"},
        ClockCase{at(kDay, 9h + 5min + 2s) + 900ms, "現在　　98年12月06日 9:05:03"},
        ClockCase{at(1998y / December / 31, 23h + 59min + 59s) + 900ms, "現在　　99年01月01日 0:00:00"},
        ClockCase{at(1999y / December / 31, 23h + 59min + 59s) + 900ms, "現在　　00年01月01日 0:00:00"}));

TEST_F(Settings, OpenedOnALaterDayItShowsThatDayAndTheListAsStartUpReadIt) {
    writeSchedule({"98年12月10日 09時00分　再起動"});
    HeadlessApp& app = startAt(at(kDay, 23h + 59min + 50s));
    writeSchedule({"98年12月24日 09時00分　ログオフ"});
    advanceTo(at(1998y / December / 7, 0h + 1min));
    openSettings(app);
    EXPECT_EQ(app.control("TimeDateSet", "Calendar1").date(), 1998y / December / 7);
    EXPECT_EQ(app.items("TimeDateSet", "List1"), std::vector<std::string>{"98年12月10日 09時00分　再起動"});
}

TEST_F(Settings, SaveWritesTheListAsShiftJisLinesChoosesTheNextEntryAndCloses) {
    HeadlessApp& app = openAt(at(kDay, 14h + 29min + 50s));
    app.switchTab("TimeDateSet", "SSTab1", 1);
    app.select("TimeDateSet", "List3", "05分後");
    app.click("TimeDateSet", "Option2");
    app.click("TimeDateSet", "Command3");
    app.click("TimeDateSet", "Command1");

    EXPECT_EQ(scheduleBytes(),
              "98\x94N12\x8C\x8E"
              "06\x93\xFA 14\x8E\x9E"
              "34\x95\xAA\x81\x40\x8B\xAD\x90\xA7\x8F\x49\x97\xB9\r\n");
    EXPECT_EQ(nextDue(), (NextDue{local_days{kDay}, 14h + 34min, MethodWord::parse("強制終了")}));
    EXPECT_FALSE(app.isLoaded("TimeDateSet"));
}

TEST_F(Settings, SaveWritesTheFileBackInItsOrderWithDuplicates) {
    const std::vector<std::string> lines{"毎日実行　　　　22時30分　再起動", "98年12月10日 09時00分　再起動",
                                         "毎日実行　　　　22時30分　再起動"};
    writeSchedule(lines);
    const std::string before = scheduleBytes();
    EXPECT_EQ(before.substr(0, 34),
              "\x96\x88\x93\xFA\x8E\xC0\x8D\x73\x81\x40\x81\x40\x81\x40\x81\x40"
              "22\x8E\x9E"
              "30\x95\xAA\x81\x40\x8D\xC4\x8B\x4E\x93\xAE\r\n");
    HeadlessApp& app = openAt(at(kDay, 14h + 30min));
    app.click("TimeDateSet", "Command1");
    EXPECT_EQ(scheduleBytes(), before);
}

TEST_F(Settings, SavingAnEmptyListLeavesAnEmptyFileAndNothingScheduled) {
    writeSchedule({"98年12月10日 09時00分　再起動"});
    HeadlessApp& app = openAt(at(kDay, 14h + 30min));
    app.rightClick("TimeDateSet", "List1");
    app.pickMenuItem("全て削除");
    app.click("TimeDateSet", "Command1");
    EXPECT_TRUE(scheduleExists());
    EXPECT_EQ(scheduleBytes(), "");
    EXPECT_EQ(nextDue(), emptyNextDue());
}

class Discard : public Settings, public ::testing::WithParamInterface<bool> {};

TEST_P(Discard, CancelAndTheCloseBoxDiscardTheEditsAndReopeningShowsTheFile) {
    const bool closeBox = GetParam();
    writeSchedule({"98年12月10日 09時00分　再起動", "98年12月11日 09時00分　ログオフ"});
    const std::string before = scheduleBytes();
    HeadlessApp& app = openAt(at(kDay, 14h + 30min));
    const NextDue chosen = nextDue();
    app.select("TimeDateSet", "List1", 0);
    app.rightClick("TimeDateSet", "List1");
    app.pickMenuItem("削除");
    ASSERT_EQ(app.items("TimeDateSet", "List1").size(), 1u);

    if (closeBox) {
        app.pressCloseBox("TimeDateSet");
    } else {
        app.click("TimeDateSet", "Command2");
    }
    EXPECT_FALSE(app.isLoaded("TimeDateSet"));
    EXPECT_EQ(scheduleBytes(), before);
    EXPECT_EQ(nextDue(), chosen);

    openSettings(app);
    EXPECT_EQ(app.items("TimeDateSet", "List1"),
              (std::vector<std::string>{"98年12月10日 09時00分　再起動", "98年12月11日 09時00分　ログオフ"}));
}

INSTANTIATE_TEST_SUITE_P(CancelOrCloseBox, Discard, ::testing::Bool());

// Mended: a failed save is not reported as success.

TEST_F(Settings, ASaveThatCannotWriteTheFileSaysSoAndKeepsTheWindowAndTheSchedule) {
    // A folder has taken the schedule file's name: nothing can be written there.
    std::filesystem::create_directories(folder_ / "Dtddta.wet");
    HeadlessApp& app = openAt(at(kDay, 14h + 29min + 50s));
    const NextDue chosen = nextDue();
    app.switchTab("TimeDateSet", "SSTab1", 1);
    app.select("TimeDateSet", "List3", "05分後");
    app.click("TimeDateSet", "Command3");
    app.click("TimeDateSet", "Command1");

    ASSERT_EQ(app.messageBoxes().size(), 1u);
    EXPECT_TRUE(app.messageBoxes()[0].text.starts_with("設定を保存できませんでした。\n"));
    EXPECT_GT(app.messageBoxes()[0].text.size(),
              std::string("設定を保存できませんでした。\n").size());  // and why
    EXPECT_EQ(app.messageBoxes()[0].title, "QuietusMachine");
    EXPECT_EQ(app.messageBoxes()[0].buttons, ui::MessageBoxButtons::Ok);
    app.answerMessageBox();

    EXPECT_TRUE(app.isVisible("TimeDateSet"));
    EXPECT_EQ(app.items("TimeDateSet", "List1"), std::vector<std::string>{"98年12月06日 14時34分　ｼｬｯﾄﾀﾞｳﾝ"});
    EXPECT_EQ(nextDue(), chosen);
    EXPECT_TRUE(std::filesystem::is_directory(folder_ / "Dtddta.wet"));
}

TEST_F(Settings, ASaveOfALineShiftJisCannotHoldSaysSoAndLeavesTheOldFileIntact) {
    // A hand-edited line whose method starts with a lead byte and no valid second byte reads
    // with U+FFFD, which Shift_JIS cannot hold.
    writeBytes("Dtddta.wet",
               "98\x94N12\x8C\x8E"
               "10\x93\xFA 09\x8E\x9E"
               "00\x95\xAA\x81\x40\x81\x7F\r\n");
    const std::string before = scheduleBytes();
    HeadlessApp& app = openAt(at(kDay, 14h + 30min));
    const NextDue chosen = nextDue();
    app.click("TimeDateSet", "Command1");

    ASSERT_EQ(app.messageBoxes().size(), 1u);
    EXPECT_TRUE(app.messageBoxes()[0].text.starts_with("設定を保存できませんでした。"));
    app.answerMessageBox();
    EXPECT_TRUE(app.isVisible("TimeDateSet"));
    EXPECT_EQ(app.items("TimeDateSet", "List1").size(), 1u);
    EXPECT_EQ(scheduleBytes(), before);
    EXPECT_EQ(nextDue(), chosen);
}

// Mended: a schedule that is there but cannot be read is not an empty schedule to save over.
TEST_F(Settings, AnUnreadableScheduleIsReportedAtStartFiresNothingAndIsNeverSavedOver) {
    writeSchedule({"98年12月06日 14時31分　再起動"});
    const std::string before = scheduleBytes();
    HeadlessApp& app = makeApp(at(kDay, 14h + 30min));
    app.files.readFailure = "「Dtddta.wet」を読み込めません: 入出力エラー";
    app.start();

    ASSERT_EQ(app.messageBoxes().size(), 1u);
    EXPECT_EQ(app.messageBoxes()[0].text,
              "「Dtddta.wet」を読み込めません: 入出力エラー\n予定ファイルを読み込めないため、予定は空として扱います。");
    app.answerMessageBox();
    EXPECT_EQ(nextDue(), emptyNextDue());
    advanceTo(at(kDay, 14h + 31min + 1s));
    EXPECT_FALSE(app.isLoaded("EndMessege"));

    openSettings(app);
    EXPECT_TRUE(app.items("TimeDateSet", "List1").empty());
    app.switchTab("TimeDateSet", "SSTab1", 1);
    app.select("TimeDateSet", "List3", "05分後");
    app.click("TimeDateSet", "Command3");
    app.click("TimeDateSet", "Command1");
    ASSERT_EQ(app.messageBoxes().size(), 1u);
    EXPECT_TRUE(app.messageBoxes()[0].text.starts_with("設定を保存できませんでした。\n読み込めなかった予定ファイルは上書きしません。"));
    app.answerMessageBox();
    EXPECT_TRUE(app.isVisible("TimeDateSet"));
    EXPECT_EQ(scheduleBytes(), before);

    // Readable again: reopened, the window shows the file and saves as usual.
    app.files.readFailure.reset();
    app.click("TimeDateSet", "Command2");
    openSettings(app);
    EXPECT_EQ(app.items("TimeDateSet", "List1"), std::vector<std::string>{"98年12月06日 14時31分　再起動"});
    app.click("TimeDateSet", "Command1");
    EXPECT_FALSE(app.isLoaded("TimeDateSet"));
    EXPECT_EQ(scheduleBytes(), before);
}

// Changes on disk made by anything else while the program runs.
class OutsideChange : public Settings {
protected:
    const std::vector<std::string> kOurs{"98年12月06日 15時00分　再起動"};
    const std::vector<std::string> kTheirs{"98年12月06日 14時45分　ログオフ", "毎日実行　　　　23時00分　再起動"};
    const NextDue kTheirNext{local_days{kDay}, 14h + 45min, MethodWord::parse("ログオフ")};

    HeadlessApp& startWithOurs() {
        writeSchedule(kOurs);
        return startAt(at(kDay, 14h + 30min));
    }
    // Another program rewrites the file and the watcher reports it.
    void theyWrite(HeadlessApp& app) {
        writeSchedule(kTheirs);
        ASSERT_TRUE(app.watcher.changed());
    }
    void addFiveMinutesLater(HeadlessApp& app) {
        app.switchTab("TimeDateSet", "SSTab1", 1);
        app.select("TimeDateSet", "List3", "05分後");
        app.click("TimeDateSet", "Command3");
    }
};

TEST_F(OutsideChange, ReselectsAndReloadsTheListWhileTheWindowIsClosedAndWhenItsRemoved) {
    HeadlessApp& app = startWithOurs();
    EXPECT_EQ(app.watcher.fileName, "Dtddta.wet");
    app.program.scheduleList.append("98年12月24日 09時00分　ログオフ");  // as 時刻の設定 adds one
    theyWrite(app);
    EXPECT_EQ(nextDue(), kTheirNext);
    EXPECT_EQ(app.settingsList(), kTheirs);
    EXPECT_FALSE(app.isLoaded("TimeDateSet"));

    std::filesystem::remove(path("Dtddta.wet"));
    ASSERT_TRUE(app.watcher.changed());
    EXPECT_EQ(nextDue(), emptyNextDue());
    EXPECT_TRUE(app.settingsList().empty());
    advanceTo(at(kDay, 14h + 45min + 1s));
    EXPECT_FALSE(app.isLoaded("EndMessege"));
}

// Another writer (the command line, another user's copy of the program) is saving when 設定 is
// clicked: 設定 waits for it and then asks, as for any change; one that keeps the lock too long
// gets a refusal with the reason and the window stays open. Nothing is saved over it unasked.
TEST_F(OutsideChange, SaveWaitsForAWriterThatIsSavingAndNeverSavesOverIt) {
    HeadlessApp& app = startWithOurs();
    openSettings(app);
    addFiveMinutesLater(app);
    WriteLock theirs = makeFileSystem()->lockForWriting(path("Dtddta.wet"), 0ms);
    ASSERT_TRUE(theirs.ok()) << theirs.status().message;

    app.files.lockPatience = 100ms;
    app.click("TimeDateSet", "Command1");
    ASSERT_EQ(app.messageBoxes().size(), 1u);
    const std::string refusal = app.messageBoxes()[0].text;
    EXPECT_TRUE(refusal.starts_with("設定を保存できませんでした。\n「")) << refusal;
    EXPECT_NE(refusal.find("他のプログラムが保存中です"), std::string::npos) << refusal;
    app.answerMessageBox();
    EXPECT_TRUE(app.isVisible("TimeDateSet"));
    EXPECT_EQ(app.program.scheduleFile.readLines(), kOurs);

    app.files.lockPatience.reset();
    std::thread writer([&] {
        std::this_thread::sleep_for(300ms);
        writeSchedule(kTheirs);
        theirs.release();
    });
    app.click("TimeDateSet", "Command1");
    writer.join();
    ASSERT_EQ(app.messageBoxes().size(), 1u);
    EXPECT_TRUE(app.messageBoxes()[0].text.starts_with("予定ファイルが他のプログラムで変更されています。"));
    app.answerMessageBox(ui::MessageBoxAnswer::No);
    EXPECT_EQ(app.items("TimeDateSet", "List1"), kTheirs);
    EXPECT_EQ(app.program.scheduleFile.readLines(), kTheirs);
}

TEST_F(OutsideChange, TheProgramsOwnSaveIsNoChange) {
    HeadlessApp& app = startWithOurs();
    openSettings(app);
    app.click("TimeDateSet", "Command1");
    ASSERT_TRUE(app.messageBoxes().empty());
    app.program.scheduleList.append("98年12月24日 09時00分　ログオフ");
    ASSERT_TRUE(app.watcher.changed());  // the watcher saw the save
    EXPECT_EQ(app.settingsList(), (std::vector<std::string>{kOurs[0], "98年12月24日 09時00分　ログオフ"}));
}

// The file removed behind the window's back, the watcher silent: いいえ reads what is there (no
// file), and the selection follows what it read, exactly as when the removal is reported.
TEST_F(OutsideChange, ReloadAfterAnUnreportedRemovalSchedulesNothing) {
    HeadlessApp& app = startWithOurs();
    openSettings(app);
    addFiveMinutesLater(app);
    std::filesystem::remove(path("Dtddta.wet"));
    app.click("TimeDateSet", "Command1");
    ASSERT_EQ(app.messageBoxes().size(), 1u);
    app.answerMessageBox(ui::MessageBoxAnswer::No);
    EXPECT_TRUE(app.items("TimeDateSet", "List1").empty());
    EXPECT_EQ(nextDue(), emptyNextDue());
    advanceTo(at(kDay, 15h + 1s));
    EXPECT_FALSE(app.isLoaded("EndMessege"));
    EXPECT_TRUE(app.session.requests.empty());
    EXPECT_FALSE(scheduleExists());
}

struct ConflictCase {
    const char* what;
    bool edit;     // the user has added an entry the file does not have
    bool noticed;  // the watcher reported the change
    bool overwrite;
};

void PrintTo(const ConflictCase& c, std::ostream* out) { *out << c.what; }

class Conflict : public OutsideChange, public ::testing::WithParamInterface<ConflictCase> {};

TEST_P(Conflict, SaveAsksWhetherToOverwriteOrReload) {
    const ConflictCase& c = GetParam();
    HeadlessApp& app = startWithOurs();
    openSettings(app);
    if (c.edit) addFiveMinutesLater(app);
    const std::vector<std::string> shown = app.items("TimeDateSet", "List1");
    writeSchedule(kTheirs);
    if (c.noticed) {
        ASSERT_TRUE(app.watcher.changed());
    }
    // An edited list stays as the user left it; an unedited one follows the file.
    EXPECT_EQ(app.items("TimeDateSet", "List1"), c.edit || !c.noticed ? shown : kTheirs);
    if (!c.edit && c.noticed) return;

    app.click("TimeDateSet", "Command1");
    ASSERT_EQ(app.messageBoxes().size(), 1u);
    EXPECT_EQ(app.messageBoxes()[0].buttons, ui::MessageBoxButtons::YesNo);
    EXPECT_TRUE(app.messageBoxes()[0].text.starts_with("予定ファイルが他のプログラムで変更されています。"));
    const std::string theirs = scheduleBytes();
    app.answerMessageBox(c.overwrite ? ui::MessageBoxAnswer::Yes : ui::MessageBoxAnswer::No);
    if (c.overwrite) {
        EXPECT_FALSE(app.isLoaded("TimeDateSet"));
        EXPECT_EQ(app.program.scheduleFile.readLines(), shown);
        EXPECT_EQ(nextDue().line, c.edit ? 2u : 1u);
    } else {
        EXPECT_TRUE(app.isVisible("TimeDateSet"));
        EXPECT_EQ(app.items("TimeDateSet", "List1"), kTheirs);
        EXPECT_EQ(scheduleBytes(), theirs);
        EXPECT_EQ(nextDue(), kTheirNext);
        app.click("TimeDateSet", "Command1");  // the reloaded list saves without a question
        EXPECT_TRUE(app.messageBoxes().empty());
        EXPECT_EQ(scheduleBytes(), theirs);
    }
}

INSTANTIATE_TEST_SUITE_P(OutsideChange, Conflict,
                         ::testing::Values(ConflictCase{"edited, noticed, overwrite", true, true, true},
                                           ConflictCase{"edited, noticed, reload", true, true, false},
                                           ConflictCase{"edited, missed, reload", true, false, false},
                                           ConflictCase{"unedited, missed, overwrite", false, false, true},
                                           ConflictCase{"unedited, noticed: the list follows", false, true, false}));

}  // namespace
}  // namespace qm::scenarios
