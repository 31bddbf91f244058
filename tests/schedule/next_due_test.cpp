// The next-due selection and the due check, over a schedule file in memory and a clock that
// moves only when the test says so.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "platform/os_services.h"
#include "schedule/exit_method.h"
#include "schedule/next_due.h"
#include "tests/support/fake_clock.h"
#include "tests/support/memory_file_system.h"

namespace qm {
namespace {

using namespace std::chrono;
using test::at;
using Lines = std::vector<std::string>;

NextDue due(year_month_day date, int h, int m, std::string_view method) {
    return {local_days{date}, hours{h} + minutes{m}, MethodWord::parse(method)};
}

class Selection : public ::testing::Test {
protected:
    test::MemoryFileSystem files;
    std::unique_ptr<TextCodec> codec = makeShiftJisCodec();
    test::FakeClock clock{at(1998y / 12 / 1, 10, 0, 20)};
    ScheduleFile file{files, *codec, "/prog/Dtddta.wet"};
    Schedule schedule{file, clock};

    void save(const Lines& lines) { ASSERT_TRUE(file.rewrite(lines).ok); }
    const NextDue& select(Schedule::Passing passing = Schedule::Passing::BeforeNow) {
        schedule.selectNextDue(passing);
        return schedule.nextDue();
    }
};

TEST_F(Selection, BeforeTheFirstSelectionNextDueIsTheNeverDueInitialValue) {
    EXPECT_EQ(schedule.nextDue(), initialNextDue());
    EXPECT_EQ(initialNextDue().date, local_days{1899y / 12 / 30});
    EXPECT_EQ(emptyNextDue().date, local_days{1900y / 1 / 1});
    EXPECT_EQ(emptyNextDue().time, seconds{0});
    EXPECT_EQ(emptyNextDue().method, MethodWord{});
}

TEST_F(Selection, TheWorkedExample) {
    save({"98年12月10日 09時00分　再起動", "毎日実行　　　　08時00分　ログオフ",
          "98年11月30日 23時00分　強制終了", "毎日実行　　　　21時30分　ｼｬｯﾄﾀﾞｳﾝ",
          "98年12月01日 21時30分　再起動"});
    EXPECT_EQ(select(), due(1998y / 12 / 1, 21, 30, "ｼｬｯﾄﾀﾞｳﾝ"));
}

TEST_F(Selection, OnEqualMomentsTheEarlierLineWins) {
    struct Case {
        Lines lines;
        std::string_view method;
    };
    for (const Case& c : {
             Case{{"98年12月05日 12時00分　再起動", "98年12月05日 12時00分　ログオフ"}, "再起動"},
             Case{{"98年12月05日 12時00分　ログオフ", "98年12月05日 12時00分　再起動"}, "ログオフ"},
             // Every-day and dated for today at the same minute.
             Case{{"毎日実行　　　　12時00分　強制終了", "98年12月01日 12時00分　再起動"}, "強制終了"},
             Case{{"98年12月01日 12時00分　再起動", "毎日実行　　　　12時00分　強制終了"}, "再起動"},
         }) {
        save(c.lines);
        EXPECT_EQ(select().method.word, c.method) << c.lines[0];
    }
}

TEST_F(Selection, EntriesAreOrderedByTheirWholeDateAndTime) {
    struct Case {
        Lines lines;
        NextDue expected;
    };
    for (const Case& c : {
             Case{{"98年12月11日 08時00分　ログオフ", "98年12月10日 09時00分　再起動"},
                  due(1998y / 12 / 10, 9, 0, "再起動")},
             Case{{"02年01月01日 00時00分　ログオフ", "99年12月31日 23時59分　再起動"},
                  due(1999y / 12 / 31, 23, 59, "再起動")},
             Case{{"99年12月31日 23時59分　再起動", "02年01月01日 00時00分　ログオフ"},
                  due(1999y / 12 / 31, 23, 59, "再起動")},
             // A year 00 entry is an ordinary candidate: 2000 comes before 2001.
             Case{{"01年01月01日 00時00分　ログオフ", "00年06月01日 00時00分　再起動"},
                  due(2000y / 6 / 1, 0, 0, "再起動")},
             Case{{"99年01月01日 00時00分　ログオフ", "毎日実行　　　　23時59分　再起動"},
                  due(1998y / 12 / 1, 23, 59, "再起動")},
         }) {
        save(c.lines);
        EXPECT_EQ(select(), c.expected) << c.lines[0];
    }
}

TEST_F(Selection, AnEntryQualifiesOnlyDuringTheFirstSecondOfItsMinute) {
    save({"98年12月01日 10時00分　再起動"});
    clock.set(at(1998y / 12 / 1, 10, 0, 0));
    EXPECT_EQ(select(), due(1998y / 12 / 1, 10, 0, "再起動"));
    clock.set(at(1998y / 12 / 1, 10, 0, 1));
    EXPECT_EQ(select(), emptyNextDue());
}

TEST_F(Selection, AnEveryDayEntryStandsForTodayOnly) {
    save({"毎日実行　　　　09時00分　再起動"});
    clock.set(at(1998y / 12 / 1, 10, 0, 0));
    EXPECT_EQ(select(), emptyNextDue());
    clock.set(at(1998y / 12 / 2, 8, 59, 59));
    EXPECT_EQ(select(), due(1998y / 12 / 2, 9, 0, "再起動"));
}

TEST_F(Selection, AbortingWithinTheDueSecondPassesOverTheEntryThatCameDue) {
    save({"98年12月01日 10時00分　再起動", "98年12月01日 11時00分　ログオフ"});
    clock.set(at(1998y / 12 / 1, 10, 0, 0));
    EXPECT_EQ(select(Schedule::Passing::UpToNow), due(1998y / 12 / 1, 11, 0, "ログオフ"));
    EXPECT_EQ(select(Schedule::Passing::BeforeNow), due(1998y / 12 / 1, 10, 0, "再起動"));
}

TEST_F(Selection, AnAbsentFileLeavesNextDueAsItWas) {
    EXPECT_EQ(select(), initialNextDue());
    save({"98年12月05日 12時00分　再起動"});
    select();
    files.files.clear();
    EXPECT_EQ(select(), due(1998y / 12 / 5, 12, 0, "再起動"));
}

TEST_F(Selection, AScheduleWhoseNameDiffersInCapitalsCountsAsAbsent) {
    files.files["/prog/DTDDTA.WET"] = "98\x94\x4e" "12\x8c\x8e" "05\x93\xfa 12\x8e\x9e" "00\x95\xaa\x81\x40"
                                      "\x8d\xc4\x8b\x4e\x93\xae\r\n";
    EXPECT_EQ(select(), initialNextDue());
}

TEST_F(Selection, AnEmptyFileGivesTheEmptyState) {
    save({});
    EXPECT_EQ(select(), emptyNextDue());
}

TEST_F(Selection, WhenEveryEntryIsPastNothingIsDue) {
    save({"98年12月05日 12時00分　再起動"});
    ASSERT_EQ(select(), due(1998y / 12 / 5, 12, 0, "再起動"));
    save({"98年11月30日 12時00分　再起動", "毎日実行　　　　09時00分　ログオフ"});
    EXPECT_EQ(select(), emptyNextDue());
}

TEST_F(Selection, ADeletedEntryNeverFires) {
    save({"98年11月30日 12時00分　再起動", "98年12月05日 12時00分　ｼｬｯﾄﾀﾞｳﾝ"});
    select();
    save({"98年11月30日 12時00分　再起動"});
    select();
    clock.set(at(1998y / 12 / 5, 12, 0, 0));
    EXPECT_FALSE(schedule.dueCheck());
}

TEST_F(Selection, LinesOfNeitherLayoutAreSkipped) {
    save({"garbage", "", "98年04月31日 12時00分　ログオフ", "99年02月29日 12時00分　ログオフ",
          "98年12月02日 24時00分　ログオフ", "98年12月02日 12時60分　ログオフ",
          "毎日実行　　　　24時00分　ログオフ", "毎日実行 12時00分 ログオフ", "98年12月2日 12時00分　ログオフ",
          "98年12月03日 12時00分　再起動"});
    EXPECT_EQ(select(), due(1998y / 12 / 3, 12, 0, "再起動"));
    // A file of nothing but such lines has no candidate.
    save({"garbage", "98年04月31日 12時00分　ログオフ"});
    EXPECT_EQ(select(), emptyNextDue());
}

TEST_F(Selection, TheMethodIsTheRestOfTheLineAsWritten) {
    save({"98年12月05日 12時00分　ｼｬｯﾄﾀﾞｳﾝ (test)"});
    EXPECT_EQ(select().method.word, "ｼｬｯﾄﾀﾞｳﾝ (test)");
    EXPECT_EQ(select().method.method, std::nullopt);  // names no method
}

TEST_F(Selection, AnEmptySettingsListWinsOverTheFile) {
    std::size_t listed = 0;
    int asked = 0;
    schedule.setEntryCount([&](const ScheduleText&) {
        ++asked;
        return listed;
    });
    save({"98年12月05日 12時00分　再起動"});
    EXPECT_EQ(select(), emptyNextDue());
    EXPECT_EQ(asked, 1);
    listed = 3;
    EXPECT_EQ(select(), due(1998y / 12 / 5, 12, 0, "再起動"));
    // The list is not asked when there is no file to select from.
    files.files.clear();
    select();
    EXPECT_EQ(asked, 2);
}

class DueCheck : public Selection {};

TEST_F(DueCheck, IsTrueDuringTheWholeDueSecondOnItsDateOnly) {
    save({"98年12月01日 21時30分　ｼｬｯﾄﾀﾞｳﾝ"});
    select();
    clock.set(at(1998y / 12 / 1, 21, 29, 59));
    EXPECT_FALSE(schedule.dueCheck());
    // Ten ticks in the same second all see it due, and none of them changes NextDue.
    clock.set(at(1998y / 12 / 1, 21, 30, 0));
    for (int tick = 0; tick < 10; ++tick) EXPECT_TRUE(schedule.dueCheck());
    EXPECT_EQ(schedule.nextDue(), due(1998y / 12 / 1, 21, 30, "ｼｬｯﾄﾀﾞｳﾝ"));
    for (const LocalTime later : {at(1998y / 12 / 1, 21, 30, 1), at(1998y / 12 / 1, 21, 31, 0)}) {
        clock.set(later);
        EXPECT_FALSE(schedule.dueCheck());
    }
    // Once its second is past, the selection has moved on.
    EXPECT_EQ(schedule.nextDue(), emptyNextDue());
}

// Mended: a clock set back a little over an entry that came due (by hand, or by the hour that the
// end of summer time shows twice) does not make it come due again, whatever chooses anew.
TEST_F(DueCheck, AnEntryThatCameDueDoesNotComeDueAgainAfterTheClockIsSetBack) {
    save({"毎日実行　　　　21時30分　ｼｬｯﾄﾀﾞｳﾝ", "98年12月01日 21時40分　再起動"});
    clock.set(at(1998y / 12 / 1, 21, 29, 0));
    select();
    clock.set(at(1998y / 12 / 1, 21, 30, 0));
    EXPECT_TRUE(schedule.dueCheck());
    for (const auto& reselect : std::initializer_list<std::function<void()>>{
             [&] { EXPECT_FALSE(schedule.dueCheck()); },  // the clock seen going back
             [&] { select(); },                           // an unrelated save, a resume
         }) {
        clock.set(at(1998y / 12 / 1, 21, 29, 50));
        reselect();
        EXPECT_EQ(schedule.nextDue(), due(1998y / 12 / 1, 21, 40, "再起動"));
        clock.set(at(1998y / 12 / 1, 21, 30, 0));
        EXPECT_FALSE(schedule.dueCheck());
    }
    // The next day it is another occurrence, and comes due as ever.
    clock.set(at(1998y / 12 / 2, 21, 30, 0));
    EXPECT_TRUE(schedule.dueCheck());
}

TEST_F(DueCheck, ItSleepsUntilTheNoticeTheDueSecondOrMidnight) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        LocalTime now;
        LocalTime wake;
    };
    for (const Case& c : {
             Case{"the notice first", {"98年12月01日 21時30分　再起動"}, at(1998y / 12 / 1, 21, 0, 0),
                  at(1998y / 12 / 1, 21, 25, 0)},
             Case{"then the due second", {"98年12月01日 21時30分　再起動"}, at(1998y / 12 / 1, 21, 25, 0),
                  at(1998y / 12 / 1, 21, 30, 0)},
             Case{"an entry tomorrow: midnight", {"98年12月02日 00時10分　再起動"}, at(1998y / 12 / 1, 21, 0, 0),
                  at(1998y / 12 / 2, 0, 0, 0)},
             Case{"nothing due: midnight", {}, at(1998y / 12 / 1, 21, 0, 0), at(1998y / 12 / 2, 0, 0, 0)},
         }) {
        save(c.lines);
        clock.set(c.now);
        select();
        EXPECT_EQ(schedule.nextWake(c.now), c.wake) << c.what;
    }
}

TEST_F(DueCheck, AnEntryWhoseSecondWentByUnseenIsMissedAndTheNextOneChosen) {
    // The machine slept from 21:29 to 21:45: the 21:30 entry is missed, not fired late.
    save({"98年12月01日 21時30分　ｼｬｯﾄﾀﾞｳﾝ", "98年12月01日 22時00分　再起動"});
    clock.set(at(1998y / 12 / 1, 21, 29, 0));
    select();
    clock.set(at(1998y / 12 / 1, 21, 45, 0));
    EXPECT_FALSE(schedule.dueCheck());
    EXPECT_EQ(schedule.nextDue(), due(1998y / 12 / 1, 22, 0, "再起動"));
}

TEST_F(DueCheck, WithoutAScheduleFileNothingComesDue) {
    for (LocalTime now : {at(1998y / 12 / 1, 0, 0, 0), at(2024y / 6 / 1, 12, 0, 0)}) {
        clock.set(now);
        EXPECT_FALSE(schedule.dueCheck());
    }
    EXPECT_EQ(schedule.nextDue(), initialNextDue());
}

TEST_F(DueCheck, EveryDayEntriesComeRoundAgainWhileTheProgramStaysResident) {
    std::size_t selections = 0;
    schedule.setEntryCount([&](const ScheduleText&) { return ++selections; });
    save({"毎日実行　　　　08時00分　ログオフ"});
    clock.set(at(1998y / 12 / 1, 9, 0, 0));
    EXPECT_EQ(select(), emptyNextDue());
    EXPECT_EQ(selections, 1u);

    // The rest of the day passes tick by tick without a new selection...
    clock.set(at(1998y / 12 / 1, 23, 59, 59));
    EXPECT_FALSE(schedule.dueCheck());
    EXPECT_EQ(selections, 1u);
    // ...and the first tick of the new date selects once.
    clock.set(at(1998y / 12 / 2, 0, 0, 0));
    EXPECT_FALSE(schedule.dueCheck());
    EXPECT_EQ(selections, 2u);
    EXPECT_EQ(schedule.nextDue(), due(1998y / 12 / 2, 8, 0, "ログオフ"));
    // The notice's second tells it and chooses the next notice; the due second selects nothing.
    clock.set(at(1998y / 12 / 2, 7, 55, 0));
    EXPECT_FALSE(schedule.dueCheck());
    ASSERT_TRUE(schedule.noticeToTell());
    EXPECT_EQ(selections, 3u);
    clock.set(at(1998y / 12 / 2, 8, 0, 0));
    EXPECT_TRUE(schedule.dueCheck());
    EXPECT_EQ(selections, 3u);
}

TEST_F(DueCheck, AnEntryAtMidnightFiresOnTheFirstTickOfTheDay) {
    save({"毎日実行　　　　00時00分　再起動"});
    clock.set(at(1998y / 12 / 1, 12, 0, 0));
    select();
    clock.set(at(1998y / 12 / 2, 0, 0, 0));
    EXPECT_TRUE(schedule.dueCheck());
}

// Mended: what is due is judged by the clock after the selection, however long it took.
TEST(SlowSelection, AtMidnightItMissesTheEntryRatherThanFiringItLate) {
    // Each reading of this clock finds 14 s passed, as a slow selection over a long file would.
    class SlowClock final : public Clock {
    public:
        LocalTime now() const override { return std::exchange(now_, now_ + seconds{14}); }
        std::string timeText(seconds) const override { return {}; }
        mutable LocalTime now_ = at(1998y / 12 / 1, 23, 59, 0);
    } clock;
    test::MemoryFileSystem files;
    const auto codec = makeShiftJisCodec();
    ScheduleFile file{files, *codec, "/prog/Dtddta.wet"};
    ASSERT_TRUE(file.rewrite(Lines{"毎日実行　　　　00時00分　再起動"}).ok);
    Schedule schedule{file, clock};
    schedule.selectNextDue();
    clock.now_ = at(1998y / 12 / 2, 0, 0, 0);
    EXPECT_FALSE(schedule.dueCheck());  // the selection ran at 00:00:00, the comparison at 00:00:14
    EXPECT_EQ(schedule.nextDue(), emptyNextDue());  // missed: nothing more is due today
}

TEST_F(Selection, AFileThereButUnreadableSchedulesNothingAndSaysWhy) {
    save({"98年12月05日 12時00分　再起動"});
    files.failReads = true;
    EXPECT_EQ(select(), emptyNextDue());
    EXPECT_EQ(schedule.unreadable(), "I/O error");
    files.failReads = false;
    EXPECT_EQ(select(), due(1998y / 12 / 5, 12, 0, "再起動"));
    EXPECT_EQ(schedule.unreadable(), std::nullopt);
}

TEST_F(DueCheck, AClockSetBackToAnEarlierDateSelectsAgain) {
    save({"毎日実行　　　　08時00分　ログオフ"});
    clock.set(at(1998y / 12 / 2, 9, 0, 0));
    select();
    clock.set(at(1998y / 12 / 1, 8, 0, 0));
    EXPECT_TRUE(schedule.dueCheck());
    EXPECT_EQ(schedule.nextDue(), due(1998y / 12 / 1, 8, 0, "ログオフ"));
}

}  // namespace
}  // namespace qm
