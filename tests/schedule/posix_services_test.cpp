// What only the POSIX services do: hidden dot-files, the local time zone, the time text.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/os_services.h"
#include "tests/support/temp_folder.h"

namespace qm {
namespace {

using namespace std::chrono;

TEST(PosixLookup, FindsOnlyPlainVisibleFilesUnderTheirExactName) {
    test::TempFolder temp;
    const auto files = makeFileSystem();
    temp.write("Help.htm", "x");
    temp.write(".Hidden.htm", "x");
    std::filesystem::create_directory(temp.folder() / "Help");
    std::filesystem::create_symlink(temp.folder() / "Help.htm", temp.folder() / "Link.htm");
    EXPECT_EQ(files->lookUpName(temp.path("Help.htm")), "Help.htm");
    EXPECT_EQ(files->lookUpName(temp.path("help.htm")), std::nullopt);
    EXPECT_EQ(files->lookUpName(temp.path(".Hidden.htm")), std::nullopt);
    EXPECT_EQ(files->lookUpName(temp.path("Help")), std::nullopt);
    EXPECT_EQ(files->lookUpName(temp.path("Link.htm")), "Link.htm");
    EXPECT_EQ(files->lookUpName(temp.path("Missing/Help.htm")), std::nullopt);
}

TEST(PosixClock, FollowsTheLocalTimeZoneEvenWhenItChanges) {
    const auto clock = makeSystemClock();
    const char* saved = getenv("TZ");
    const std::string before = saved ? saved : "";
    for (auto [zone, offset] : {std::pair{"JST-9", hours{9}}, {"UTC0", hours{0}}, {"EST5", hours{-5}}}) {
        setenv("TZ", zone, 1);
        const auto utc = floor<seconds>(system_clock::now());
        const LocalTime expected{utc.time_since_epoch() + offset};
        EXPECT_LE(abs(clock->now() - expected), seconds{2}) << zone;
    }
    if (saved) setenv("TZ", before.c_str(), 1); else unsetenv("TZ");
    tzset();
}

TEST(PosixClock, TimeTextHasNoLeadingZeroOnTheHour) {
    const auto clock = makeSystemClock();
    EXPECT_EQ(clock->timeText(hours{9} + minutes{5} + seconds{3}), "9:05:03");
    EXPECT_EQ(clock->timeText(hours{0}), "0:00:00");
    EXPECT_EQ(clock->timeText(hours{23} + minutes{59} + seconds{59}), "23:59:59");
}

}  // namespace
}  // namespace qm
