// A save killed at any moment leaves the old schedule or the new one, whole: a child process
// saves over and over and is killed at random moments, many times.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <regex>
#include <set>
#include <thread>

#include "platform/os_services.h"
#include "schedule/schedule_file.h"
#include "tests/support/temp_folder.h"

namespace qm {
namespace {

using Lines = std::vector<std::string>;

TEST(SaveCrash, AKilledSaveLeavesTheOldFileOrTheNewOneWhole) {
    test::TempFolder temp;
    const auto files = makeFileSystem();
    const auto codec = makeShiftJisCodec();
    ScheduleFile file{*files, *codec, temp.path("Dtddta.wet")};

    // A long list and a short one, so a torn save could not pass for either.
    const Lines longList(400, "98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ");
    const Lines shortList = {"毎日実行　　　　22時30分　再起動", "99年01月01日 00時00分　ログオフ"};
    ASSERT_TRUE(file.rewrite(shortList).ok);
    const std::string shortBytes = temp.read("Dtddta.wet");
    ASSERT_TRUE(file.rewrite(longList).ok);
    const std::string longBytes = temp.read("Dtddta.wet");

    std::mt19937 random(12345);
    int sawLong = 0, sawShort = 0;
    for (int round = 0; round < 100; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                if (!file.rewrite(shortList).ok || !file.rewrite(longList).ok) _exit(1);
            }
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution(0, 4000)(random)));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child failed on its own";

        const std::string now = temp.read("Dtddta.wet");
        ASSERT_TRUE(now == longBytes || now == shortBytes)
            << "round " << round << ": " << now.size() << " bytes on disk";
        (now == longBytes ? sawLong : sawShort)++;
        EXPECT_EQ(file.readLines(), now == longBytes ? longList : shortList);
    }
    std::printf("killed 100 saves: %d left the long list, %d the short one\n", sawLong, sawShort);
    // What killed saves left is theirs alone, never a name another save would use or delete.
    const std::regex ours(R"(Dtddta\.wet\.[A-Za-z0-9]{6}\.tmp)");
    for (const auto& entry : std::filesystem::directory_iterator(temp.folder())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "Dtddta.wet" || std::regex_match(name, ours)) << name;
    }
    // The next writer clears it.
    {
        WriteLock lock = file.lock();
        ASSERT_TRUE(lock.ok()) << lock.status().message;
        ASSERT_TRUE(file.rewrite(shortList).ok);
    }
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(temp.folder()))
        left.insert(entry.path().filename());
    EXPECT_EQ(left, (std::set<std::string>{"Dtddta.wet", "Dtddta.wet.lock"}));
}

}  // namespace
}  // namespace qm
