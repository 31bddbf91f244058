// The schedule file on this OS's own file system: bytes on disk, line ends, the case-exact
// existence test and saves that fail without harm.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "platform/os_services.h"
#include "platform/program_folder_lookup.h"
#include "platform/schedule_home.h"
#include "schedule/schedule_file.h"
#include "tests/support/temp_folder.h"

namespace qm {
namespace {

using Lines = std::vector<std::string>;

class ScheduleFileOnDisk : public ::testing::TestWithParam<std::string_view> {
protected:
    test::TempFolder temp{GetParam()};
    std::unique_ptr<FileSystem> files = makeFileSystem();
    std::unique_ptr<TextCodec> codec = makeShiftJisCodec();
    ScheduleFile file{*files, *codec, temp.path("Dtddta.wet")};

    Status save(const Lines& lines) { return file.rewrite(lines); }
};

// Also in a folder whose name is not ASCII, as a Japanese user's folders often are.
INSTANTIATE_TEST_SUITE_P(Folders, ScheduleFileOnDisk, ::testing::Values("", "予定 ﾌｫﾙﾀﾞ"),
                         [](const auto& info) { return info.param.empty() ? "Plain" : "Japanese"; });

TEST_P(ScheduleFileOnDisk, SavesShiftJisLinesEachEndedByCrLf) {
    ASSERT_TRUE(save({"98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ", "毎日実行　　　　22時30分　再起動"}).ok);
    const std::string bytes = temp.read("Dtddta.wet");
    ASSERT_EQ(bytes.size(), 31u + 2 + 32 + 2);
    EXPECT_EQ(bytes.substr(0, 33),
              "98\x94\x4e" "05\x8c\x8e" "12\x93\xfa 13\x8e\x9e" "05\x95\xaa\x81\x40"
              "\xbc\xac\xaf\xc4\xc0\xde\xb3\xdd\r\n");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST_P(ScheduleFileOnDisk, ReadsBackWhatItSavedInOrderWithDuplicates) {
    const Lines lines = {"毎日実行　　　　22時30分　再起動", "98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ",
                         "毎日実行　　　　22時30分　再起動", "", "  spaces stay  "};
    ASSERT_TRUE(save(lines).ok);
    EXPECT_EQ(file.readLines(), lines);
}

TEST_P(ScheduleFileOnDisk, LinesEndAtCrLfOrALoneCr) {
    struct Case {
        std::string_view bytes;
        Lines lines;
    };
    for (const Case& c : {
             Case{"a\r\nb\rc\r\n\r\nlast", {"a", "b", "c", "", "last"}},
             Case{"one\r\n", {"one"}},
             Case{"one\r", {"one"}},
             Case{"\r\n", {""}},
             Case{"\r\n\r\n", {"", ""}},
             Case{"\r\r\n", {"", ""}},
             Case{"a\nb\r\n", {"a", "b"}},  // edited by hand on Linux
             Case{"a\n\nb\n", {"a", "", "b"}},
             Case{" \t x \r\n", {" \t x "}},
         }) {
        temp.write("Dtddta.wet", c.bytes);
        EXPECT_EQ(file.readLines(), c.lines) << c.bytes;
    }
}

TEST_P(ScheduleFileOnDisk, BadBytesBecomeReplacementCharactersInTheirLineOnly) {
    temp.write("Dtddta.wet", "98\x94\x4e\xfd" "05\x8c\x8e\r\nok\x81\r\nnext");
    EXPECT_EQ(file.readLines(), (Lines{"98年\xEF\xBF\xBD" "05月", "ok\xEF\xBF\xBD", "next"}));
}

TEST_P(ScheduleFileOnDisk, AnAbsentFileIsEmptyAndNotPresent) {
    EXPECT_FALSE(file.exists());
    EXPECT_TRUE(file.readLines().empty());
    EXPECT_EQ(file.readText(), std::nullopt);
}

TEST_P(ScheduleFileOnDisk, AnEmptyFileIsPresent) {
    temp.write("Dtddta.wet", "");
    EXPECT_TRUE(file.exists());
    EXPECT_TRUE(file.readLines().empty());
    EXPECT_EQ(file.readText(), "");
}

TEST_P(ScheduleFileOnDisk, ANameInOtherCapitalsIsNotTheSchedule) {
    temp.write("dtddta.wet", "98年05月12日 13時05分　再起動\r\n");
    EXPECT_FALSE(file.exists());
    EXPECT_TRUE(file.readLines().empty());
}

TEST_P(ScheduleFileOnDisk, AFolderOfThatNameIsNotTheSchedule) {
    std::filesystem::create_directory(temp.folder() / "Dtddta.wet");
    EXPECT_FALSE(file.exists());
    EXPECT_TRUE(file.readLines().empty());
}

TEST_P(ScheduleFileOnDisk, SavingAnEmptyListLeavesAZeroLengthFileThatExists) {
    temp.write("Dtddta.wet", "old\r\n");
    ASSERT_TRUE(save({}).ok);
    EXPECT_TRUE(file.exists());
    EXPECT_EQ(std::filesystem::file_size(temp.folder() / "Dtddta.wet"), 0u);
}

TEST_P(ScheduleFileOnDisk, AShorterSaveLeavesNothingOfTheLongerOne) {
    ASSERT_TRUE(save(Lines(50, "98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ")).ok);
    ASSERT_TRUE(save({"x"}).ok);
    EXPECT_EQ(temp.read("Dtddta.wet"), "x\r\n");
    // Nothing else is left beside the schedule.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.folder()), {}), 1);
}

TEST_P(ScheduleFileOnDisk, ACharacterShiftJisCannotHoldFailsTheSaveAndKeepsTheOldFile) {
    temp.write("Dtddta.wet", "old\r\n");
    const Status status = save({"98年05月12日 13時05分　再起動", "bad \xF0\x9F\x98\x80 line"});
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.message.find("2行目"), std::string::npos) << status.message;
    EXPECT_NE(status.message.find("U+1F600"), std::string::npos) << status.message;
    EXPECT_EQ(temp.read("Dtddta.wet"), "old\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.folder()), {}), 1);
}

// The refusal names the character as the user typed it, and its line; a byte that is no UTF-8
// at all is named as a byte.
TEST_P(ScheduleFileOnDisk, TheRefusalNamesTheCharacterTypedAndItsLine) {
    struct Case {
        std::string line;
        std::string named;
    };
    for (const Case& c : {
             Case{"98年05月12日 13時05分　再起動 \xF0\x9F\x98\x80", "「\xF0\x9F\x98\x80」(U+1F600)"},
             Case{"毎日実行　　　　22時30分　〜", "「〜」(U+301C)"},
             Case{"ñandú", "「ñ」(U+00F1)"},
             Case{"x\xFFy", "バイト0xFF"},
         }) {
        const Status status = save({"98年05月12日 13時05分　再起動", c.line});
        EXPECT_EQ(status.message, "2行目の" + c.named + " はShift_JISで保存できません") << c.line;
    }
}

// A folder of the schedule's name holds no schedule, and no save puts a file in its place.
TEST_P(ScheduleFileOnDisk, AFolderOfTheSchedulesNameIsNeverReplaced) {
    std::filesystem::create_directory(temp.folder() / "Dtddta.wet");
    EXPECT_EQ(file.read().state, ScheduleText::State::Absent);
    const WriteLock lock = file.lock();
    EXPECT_FALSE(lock.ok());
    EXPECT_NE(lock.status().message.find("は通常のファイルではないため保存できません"), std::string::npos)
        << lock.status().message;
    EXPECT_FALSE(save({"98年05月12日 13時05分　再起動"}).ok);
    EXPECT_TRUE(std::filesystem::is_directory(temp.folder() / "Dtddta.wet"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.folder()), {}), 1);
}

// Mended: saving never takes a read-only file's protection away.
TEST_P(ScheduleFileOnDisk, AReadOnlyScheduleIsNotReplaced) {
    namespace fs = std::filesystem;
    temp.write("Dtddta.wet", "old\r\n");
    const fs::path schedule = temp.folder() / "Dtddta.wet";
    fs::permissions(schedule, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const Status status = save({"98年05月12日 13時05分　再起動"});
    fs::permissions(schedule, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.message.find("読み取り専用"), std::string::npos) << status.message;
    EXPECT_EQ(temp.read("Dtddta.wet"), "old\r\n");
}

TEST_P(ScheduleFileOnDisk, AReadThatFailsSaysWhy) {
    std::string bytes;
    const Status status = files->readAll(test::utf8(temp.folder()), bytes);  // a folder reads as no file
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.message.find("読み込めません"), std::string::npos) << status.message;
}

TEST_P(ScheduleFileOnDisk, ASaveIntoAMissingFolderFailsWithTheReason) {
    ScheduleFile nowhere{*files, *codec, temp.path("missing/Dtddta.wet")};
    const Status status = nowhere.rewrite(Lines{"x"});
    EXPECT_FALSE(status.ok);
    EXPECT_FALSE(status.message.empty());
    EXPECT_FALSE(std::filesystem::exists(temp.folder() / "missing"));
}

// A writer takes the lock first: that makes the user's own schedule folder on the first save.
TEST_P(ScheduleFileOnDisk, TheFirstWriterMakesTheFoldersOfTheSchedule) {
    ScheduleFile mine{*files, *codec, temp.path("config/QuietusMachine/Dtddta.wet")};
    WriteLock lock = mine.lock();
    ASSERT_TRUE(lock.ok()) << lock.status().message;
    ASSERT_TRUE(mine.rewrite(Lines{"x"}).ok);
    EXPECT_EQ(mine.readLines(), Lines{"x"});
}

// A save's temporary file has a name of its own: a file under the name saves once used is
// neither written through nor removed, and whoever takes the lock clears what killed saves left.
TEST_P(ScheduleFileOnDisk, SavesUseTemporaryNamesOfTheirOwnAndTheNextWriterClearsStaleOnes) {
    const std::vector<std::string> kept{"Dtddta.wet.tmp",        "Dtddta.wet.abc12.tmp",
                                        "Dtddta.wet.abc1234.tmp", "Dtddta.wet.abc-12.tmp",
                                        "other.wet.abc123.tmp",   "Dtddta.wet.abc123.txt"};
    for (const std::string& name : kept) temp.write(name, "not ours");
    temp.write("Dtddta.wet.abc123.tmp", "left by a killed save");
    temp.write("Dtddta.wet.Z9y8X7.tmp", "left by a killed save");
    {
        WriteLock lock = file.lock();
        ASSERT_TRUE(lock.ok()) << lock.status().message;
        ASSERT_TRUE(save({"x"}).ok);
    }
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(temp.folder()))
        left.push_back(test::utf8(entry.path().filename()));
    std::vector<std::string> expected = kept;
    expected.insert(expected.end(), {"Dtddta.wet", "Dtddta.wet.lock"});
    std::sort(left.begin(), left.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
    for (const std::string& name : kept) EXPECT_EQ(temp.read(name), "not ours") << name;
}

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
    const ProgramFolder folder = runningProgramFolder(kScheduleFileName);
    ASSERT_FALSE(folder.folder.empty());
    EXPECT_NE(folder.folder.back(), folder.separator);
    EXPECT_TRUE(std::filesystem::is_regular_file(test::fromUtf8(folder.path(QM_TEST_EXE_NAME))))
        << folder.path(QM_TEST_EXE_NAME);
}

TEST(ProgramFolder, PathsAreTheFolderASeparatorAndTheName) {
    const ProgramFolder windows{"C:\\Tools", '\\'};
    EXPECT_EQ(windows.path("Dtddta.wet"), "C:\\Tools\\Dtddta.wet");
    EXPECT_EQ(windows.path("Help/Help.htm"), "C:\\Tools\\Help\\Help.htm");
    EXPECT_EQ((ProgramFolder{"/opt/qm", '/'}.path("Readme.txt")), "/opt/qm/Readme.txt");
}

TEST(ProgramFolder, TheScheduleIsBesideTheProgramUnlessInstalledOrUnwritableWithoutOne) {
    const std::string user = "/home/u/.config/QuietusMachine";
    struct Place {
        const char* what;
        ProgramPlace place;
        ScheduleHome home;
    };
    for (const auto& [what, place, home] : {
             Place{"a portable folder with a schedule", {true, false, true, user}, ScheduleHome::ProgramFolder},
             Place{"installed, an administrator's schedule beside it", {true, true, false, user},
                   ScheduleHome::ProgramFolder},
             Place{"a writable folder without one", {false, false, true, user}, ScheduleHome::ProgramFolder},
             Place{"a folder that takes no new file", {false, false, false, user}, ScheduleHome::UserFolder},
             Place{"installed", {false, true, true, user}, ScheduleHome::UserFolder},
             Place{"installed, no user folder known", {false, true, false, ""}, ScheduleHome::ProgramFolder},
         })
        EXPECT_EQ(scheduleHome(place), home) << what;
    const ProgramFolder installed{.folder = "/usr/bin", .scheduleFolder = user, .documentFolder = "/usr/share/doc/q"};
    EXPECT_EQ(installed.schedulePath("Dtddta.wet"), user + "/Dtddta.wet");
    EXPECT_EQ(installed.documentPath("Help/Help.htm"), "/usr/share/doc/q/Help/Help.htm");
    EXPECT_EQ((ProgramFolder{.folder = "/opt/qm"}.schedulePath("Dtddta.wet")), "/opt/qm/Dtddta.wet");
}

TEST(SystemClock, ReadsLocalTimeToTheSecondAndWritesTheTimeAsTheSystemDoes) {
    using namespace std::chrono;
    const auto clock = makeSystemClock();
    // Local time is within a day of UTC in any zone.
    const auto utc = floor<seconds>(system_clock::now()).time_since_epoch();
    EXPECT_LE(abs(clock->now().time_since_epoch() - utc), hours{26});
    // The user's format decides the hour and any AM/PM mark; minutes and seconds are two digits.
    EXPECT_NE(clock->timeText(hours{9} + minutes{5} + seconds{3}).find("05:03"), std::string::npos);
}

}  // namespace
}  // namespace qm
