// Schedule lines: the four method words, building both layouts, parsing by character position,
// the date helpers and the removal of past dated entries.
#include <gtest/gtest.h>

#include <random>

#include "schedule/exit_method.h"
#include "schedule/schedule_entry.h"
#include "tests/support/fake_clock.h"

namespace qm {
namespace {

using namespace std::chrono;
using test::at;

std::size_t charCount(std::string_view s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

TEST(ExitMethod, EachWordNamesItsMethod) {
    struct Case {
        std::string_view word;
        ExitMethod method;
    };
    for (const Case& c : {Case{"ｼｬｯﾄﾀﾞｳﾝ", ExitMethod::Shutdown}, Case{"強制終了", ExitMethod::ForcedExit},
                          Case{"再起動", ExitMethod::Restart}, Case{"ログオフ", ExitMethod::Logoff},
                          Case{"スリープ", ExitMethod::Sleep}, Case{"休止状態", ExitMethod::Hibernate},
                          Case{"ロック", ExitMethod::Lock}}) {
        EXPECT_EQ(methodFromWord(c.word), c.method) << c.word;
        EXPECT_EQ(endsSession(c.method), c.word != "スリープ" && c.word != "休止状態" && c.word != "ロック");
        EXPECT_EQ(wordOf(c.method), c.word);
        EXPECT_EQ(MethodWord::parse(c.word), (MethodWord{c.method, std::string(c.word)}));
    }
}

TEST(ExitMethod, OnlyTheExactStoredWordsCount) {
    for (std::string_view word : {"シャットダウン", "ｼｬｯﾄﾀﾞｳﾝ ", " 再起動", "", "ﾛｸﾞｵﾌ", "強制"})
        EXPECT_EQ(methodFromWord(word), std::nullopt) << word;
}

TEST(BuildEntry, DatedEntryIsTwentyFiveCharactersWithTheHalfWidthWord) {
    const std::string line = datedEntry(at(1998y / 5 / 12, 13, 5, 42), kShutdownWord);
    EXPECT_EQ(line, "98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ");
    EXPECT_EQ(charCount(line), 25u);
}

TEST(BuildEntry, EveryDayEntryHasTheFourSpacePrefixAndNoDate) {
    const std::string line = everyDayEntry(22, 30, kRestartWord);
    EXPECT_EQ(line, "毎日実行　　　　22時30分　再起動");
    EXPECT_EQ(charCount(line), 18u);
    EXPECT_EQ(everyDayEntry(0, 5, kLogoffWord), "毎日実行　　　　00時05分　ログオフ");
}

TEST(BuildEntry, DayEntriesKeepTheEveryDayShapeWithTheirOwnHead) {
    EXPECT_EQ(dayEntry(EntryKind::Weekdays, {}, 7, 5, kSleepWord), "平日実行　　　　07時05分　スリープ");
    EXPECT_EQ(dayEntry(EntryKind::Weekend, {}, 7, 5, kLockWord), "週末実行　　　　07時05分　ロック");
    EXPECT_EQ(idleEntry(90min, kLockWord), "無操作時　　　　01時30分　ロック");
    for (unsigned d = 0; d < 7; ++d) {
        const std::string line = dayEntry(EntryKind::Weekly, std::chrono::weekday{d}, 23, 59, kRestartWord);
        EXPECT_EQ(charCount(line), charCount(everyDayEntry(23, 59, kRestartWord))) << line;
        EXPECT_EQ(parseEntry(line)->weekday, std::chrono::weekday{d}) << line;
    }
}

TEST(BuildEntry, EveryFieldIsZeroPaddedAndTheYearKeepsTwoDigits) {
    struct Case {
        LocalTime moment;
        std::string_view expected;
    };
    for (const Case& c : {
             Case{at(2000y / 1 / 1, 0, 0), "00年01月01日 00時00分　再起動"},
             Case{at(2029y / 12 / 31, 23, 59, 59), "29年12月31日 23時59分　再起動"},
             Case{at(1930y / 2 / 3, 4, 6), "30年02月03日 04時06分　再起動"},
             Case{at(2005y / 10 / 9, 9, 10), "05年10月09日 09時10分　再起動"},
         })
        EXPECT_EQ(datedEntry(c.moment, kRestartWord), c.expected);
}

// A two-digit year is the one in the hundred years from 50 before this year to 49 after it.
TEST(DateText, TwoDigitYearsAreReadInAWindowAroundThisYear) {
    struct Case {
        int current, y2, full;
    };
    for (const Case& c : {Case{2026, 98, 1998}, Case{2026, 76, 1976}, Case{2026, 75, 2075}, Case{2026, 0, 2000},
                          Case{2029, 30, 1930 + 100}, Case{2029, 79, 1979}, Case{2030, 80, 1980}, Case{2030, 79, 2079},
                          Case{2075, 76, 2076}, Case{2075, 25, 2025}, Case{2076, 25, 2125}, Case{2076, 26, 2026}})
        EXPECT_EQ(expandYear(c.y2, year{c.current}), year{c.full}) << c.current << ": " << c.y2;
    EXPECT_EQ(outsideTwoDigitYears(2026y), "1976年から2075年までの日付にして下さい");
}

TEST(DateText, ShortDateAndDateLabel) {
    EXPECT_EQ(shortDateText(1998y / 12 / 6), "98/12/06");
    EXPECT_EQ(shortDateText(2005y / 1 / 2), "05/01/02");
    EXPECT_EQ(dateLabelText(1998y / 12 / 6), "98年12月06日");
    EXPECT_EQ(dateLabelText(2000y / 10 / 31), "00年10月31日");
    EXPECT_EQ(twoDigits(7), "07");
    EXPECT_EQ(twoDigits(0), "00");
    EXPECT_EQ(twoDigits(59), "59");
}

struct ParseCase {
    std::string_view line;
    std::optional<ParsedEntry> expected;
};

ParsedEntry dated(int y, int mo, int d, int h, int mi, std::string method) {
    return {EntryKind::Dated, y, mo, d, h, mi, std::move(method)};
}
ParsedEntry everyDay(int h, int mi, std::string method, EntryKind kind = EntryKind::EveryDay,
                     std::chrono::weekday day = {}) {
    return {kind, 0, 0, 0, h, mi, std::move(method), day};
}

TEST(ParseEntry, ReadsFieldsByCharacterPosition) {
    const ParseCase cases[] = {
        {"98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ", dated(98, 5, 12, 13, 5, "ｼｬｯﾄﾀﾞｳﾝ")},
        {"毎日実行　　　　22時30分　再起動", everyDay(22, 30, "再起動")},
        {"00年02月29日 00時00分　ログオフ", dated(0, 2, 29, 0, 0, "ログオフ")},
        // Separators are written but never checked.
        {"98x05x12x_13x05x_強制終了", dated(98, 5, 12, 13, 5, "強制終了")},
        {"毎日実行ABCD07:45:_ログオフ", everyDay(7, 45, "ログオフ")},
        // The method runs to the end of the line, whatever follows the word.
        {"98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ ", dated(98, 5, 12, 13, 5, "ｼｬｯﾄﾀﾞｳﾝ ")},
        {"98年05月12日 13時05分　", dated(98, 5, 12, 13, 5, "")},
        {"毎日実行　　　　22時30分　", everyDay(22, 30, "")},
        // Ranges are not the parser's business.
        {"98年13月32日 24時60分　再起動", dated(98, 13, 32, 24, 60, "再起動")},
        // The layouts of the every-day shape for some days of the week.
        {"平日実行　　　　22時30分　スリープ", everyDay(22, 30, "スリープ", EntryKind::Weekdays)},
        {"週末実行　　　　07時00分　ロック", everyDay(7, 0, "ロック", EntryKind::Weekend)},
        {"毎週月曜　　　　06時15分　休止状態", everyDay(6, 15, "休止状態", EntryKind::Weekly, Monday)},
        {"毎週日曜ABCD06:15:_再起動", everyDay(6, 15, "再起動", EntryKind::Weekly, Sunday)},
        // The inactivity entry: the idle time where the every-day shape has its time.
        {"無操作時　　　　00時30分　ｼｬｯﾄﾀﾞｳﾝ", everyDay(0, 30, "ｼｬｯﾄﾀﾞｳﾝ", EntryKind::Idle)},
        {"無操作時　　　　00時00分　ロック", everyDay(0, 0, "ロック", EntryKind::Idle)},
    };
    for (const ParseCase& c : cases) EXPECT_EQ(parseEntry(c.line), c.expected) << c.line;
}

TEST(ParseEntry, LinesOfNeitherLayoutGiveNothing) {
    for (std::string_view line : {
             "",
             "garbage",
             "98年05月12日 13時05分",       // the ideographic space before the method is missing
             "毎日実行　　　　22時30分",    // likewise
             "毎日実行",
             "9A年05月12日 13時05分　再起動",
             "98年5月12日 13時05分　再起動",  // an unpadded field shifts every position after it
             "９８年０５月１２日 １３時０５分　再起動",  // full-width digits are not digits
             "98年05月12日 13時-5分　再起動",
             "毎日実行　　　　2２時30分　再起動",
             "毎日実　　　　　22時30分　再起動",  // not "毎日実行", so read as dated
             "毎週月よ　　　　22時30分　再起動",  // no day of the week
             "毎週祝曜　　　　22時30分　再起動",
         })
        EXPECT_EQ(parseEntry(line), std::nullopt) << line;
}

TEST(ParseEntry, TheFirstFourCharactersAloneDecideTheKind) {
    EXPECT_TRUE(isEveryDayLine("毎日実行"));
    EXPECT_TRUE(isEveryDayLine("毎日実行98年05月12日 13時05分　再起動"));
    EXPECT_FALSE(isEveryDayLine("毎日実"));
    EXPECT_FALSE(isEveryDayLine(" 毎日実行"));
    // Dated fields after the every-day word do not make it a dated entry.
    EXPECT_EQ(parseEntry("毎日実行98年05月12日 13時05分　再起動"), std::nullopt);
}

TEST(ParseEntry, StrayBytesCountAsCharactersAndNeverReadPastTheEnd) {
    EXPECT_EQ(parseEntry("98年05月12日 13時05分\xFF\xE3"), dated(98, 5, 12, 13, 5, "\xE3"));
    EXPECT_EQ(parseEntry("98年05月12日 13時05\xE6"), std::nullopt);
    EXPECT_EQ(parseEntry("\xE6\x97"), std::nullopt);
}

TEST(EntryMoment, DatedEntriesStandForTheirOwnDay) {
    const local_days today{2024y / 6 / 1};
    struct Case {
        std::string_view line;
        std::optional<LocalTime> moment;
    };
    for (const Case& c : {
             Case{"98年12月10日 09時00分　再起動", at(1998y / 12 / 10, 9, 0)},
             Case{"02年01月01日 00時00分　再起動", at(2002y / 1 / 1, 0, 0)},
             Case{"00年02月29日 23時59分　再起動", at(2000y / 2 / 29, 23, 59)},
             Case{"96年02月29日 12時00分　再起動", at(1996y / 2 / 29, 12, 0)},
             Case{"98年04月31日 12時00分　再起動", std::nullopt},
             Case{"99年02月29日 12時00分　再起動", std::nullopt},
             Case{"98年00月10日 12時00分　再起動", std::nullopt},
             Case{"98年13月10日 12時00分　再起動", std::nullopt},
             Case{"98年12月00日 12時00分　再起動", std::nullopt},
             Case{"98年12月10日 24時00分　再起動", std::nullopt},
             Case{"98年12月10日 12時60分　再起動", std::nullopt},
             Case{"毎日実行　　　　08時15分　再起動", at(2024y / 6 / 1, 8, 15)},
             Case{"毎日実行　　　　23時59分　再起動", at(2024y / 6 / 1, 23, 59)},
             Case{"毎日実行　　　　24時00分　再起動", std::nullopt},
             Case{"毎日実行　　　　12時99分　再起動", std::nullopt},
             Case{"無操作時　　　　08時15分　再起動", std::nullopt},  // the time-based choice never takes it
         }) {
        const auto parsed = parseEntry(c.line);
        ASSERT_TRUE(parsed) << c.line;
        EXPECT_EQ(entryMoment(*parsed, today), c.moment) << c.line;
    }
}

TEST(EntryMoment, AnInactivityEntryWaitsOneMinuteToTwelveHours) {
    struct Case {
        std::string_view line;
        std::optional<minutes> idle;
    };
    for (const Case& c : {
             Case{"無操作時　　　　00時01分　ロック", 1min}, Case{"無操作時　　　　12時00分　ロック", 12h},
             Case{"無操作時　　　　01時30分　ロック", 90min}, Case{"無操作時　　　　00時00分　ロック", std::nullopt},
             Case{"無操作時　　　　12時01分　ロック", std::nullopt}, Case{"無操作時　　　　01時60分　ロック", std::nullopt},
             Case{"毎日実行　　　　00時30分　ロック", std::nullopt},
         })
        EXPECT_EQ(idleThreshold(*parseEntryFields(c.line)), c.idle) << c.line;
}

TEST(PastEntries, TheListOfTheExampleKeepsEveryDayAndFutureEntriesInOrder) {
    const std::vector<std::string> list = {"98年01月01日 10時00分　再起動",
                                           "毎日実行　　　　10時00分　再起動",
                                           "99年01月01日 10時00分　ログオフ"};
    EXPECT_EQ(withoutPastEntries(list, at(1998y / 6 / 1, 12, 0)),
              (std::vector<std::string>{list[1], list[2]}));
}

TEST(PastEntries, AnEntryForTheCurrentMinuteIsPast) {
    const std::vector<std::string> list = {"98年06月01日 12時00分　再起動",
                                           "98年06月01日 12時01分　再起動"};
    const std::vector<std::string> later = {list[1]};
    EXPECT_EQ(withoutPastEntries(list, at(1998y / 6 / 1, 12, 0, 0)), later);
    EXPECT_EQ(withoutPastEntries(list, at(1998y / 6 / 1, 12, 0, 59)), later);
    EXPECT_EQ(withoutPastEntries(list, at(1998y / 6 / 1, 11, 59, 59)), list);
}

TEST(PastEntries, EveryDayEntriesAndLinesOfNeitherLayoutStay) {
    const std::vector<std::string> list = {
        "毎日実行　　　　00時00分　再起動", "毎日実行　　　　23時59分　再起動", "毎日実行 broken",
        "平日実行　　　　00時00分　再起動", "毎週月曜　　　　00時00分　再起動", "無操作時　　　　00時30分　再起動",
        "garbage", "", "98年04月31日 10時00分　再起動", "9X年01月01日 10時00分　再起動"};
    EXPECT_EQ(withoutPastEntries(list, at(2024y / 1 / 1, 12, 0)), list);
    EXPECT_TRUE(withoutPastEntries({}, at(2024y / 1 / 1, 12, 0)).empty());
}

// The way the settings window has always done it: remove the first past dated entry, then
// start again from the top, until a whole scan removes nothing.
std::vector<std::string> restartFromTopScan(std::vector<std::string> list, LocalTime now) {
    for (bool removed = true; removed;) {
        removed = false;
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (isEveryDayLine(list[i])) continue;
            const auto parsed = parseEntry(list[i]);
            if (!parsed) continue;
            const auto moment = entryMoment(*parsed, floor<days>(now));
            if (moment && *moment <= now) {
                list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
                removed = true;
                break;
            }
        }
    }
    return list;
}

TEST(PastEntries, OnePassGivesTheSameListAsTheRestartFromTheTopScan) {
    std::mt19937 random(20240601);
    const LocalTime now = at(2010y / 6 / 15, 12, 30, 20);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(random); };
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> list;
        const int size = pick(0, 40);
        for (int i = 0; i < size; ++i) {
            switch (pick(0, 4)) {
                case 0: list.push_back(everyDayEntry(pick(0, 23), pick(0, 59), kRestartWord)); break;
                case 1: list.push_back("garbage " + std::to_string(i)); break;
                case 2:  // an impossible date, or a moment near now
                    list.push_back(twoDigits(pick(8, 12)) + "年" + twoDigits(pick(0, 13)) + "月" +
                                   twoDigits(pick(0, 31)) + "日 12時30分　再起動");
                    break;
                default:
                    list.push_back(datedEntry(now + minutes{pick(-3, 3)} + days{pick(-1, 1)},
                                              kLogoffWord));
            }
        }
        EXPECT_EQ(withoutPastEntries(list, now), restartFromTopScan(list, now));
    }
}

}  // namespace
}  // namespace qm
