// What only the POSIX services do: hidden dot-files, the local time zone, the time text, what a
// save keeps of the old file, and error texts in the user's language.
#include <errno.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/posix/system_reason.h"

#include "platform/os_services.h"
#include "schedule/schedule_file.h"
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

TEST(PosixSave, KeepsThePermissionBitsAndOwnerAndALinkStaysALink) {
    test::TempFolder temp;
    const auto files = makeFileSystem();
    temp.write("target.wet", "old\r\n");
    const std::string target = temp.path("target.wet");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    // Root can give the file to another user, as an administrator's deployment would.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    }
    std::filesystem::create_symlink(temp.folder() / "target.wet", temp.folder() / "Dtddta.wet");

    {
        // Every writer through either name takes one lock: the one beside the file replaced.
        WriteLock lock = files->lockForWriting(temp.path("Dtddta.wet"), milliseconds{0});
        ASSERT_TRUE(lock.ok()) << lock.status().message;
        EXPECT_FALSE(files->lockForWriting(temp.path("target.wet"), milliseconds{0}).ok());
        ASSERT_TRUE(files->replaceAll(temp.path("Dtddta.wet"), "new\r\n").ok);
    }
    EXPECT_TRUE(std::filesystem::exists(temp.folder() / "target.wet.lock"));
    std::filesystem::remove(temp.folder() / "target.wet.lock");
    EXPECT_TRUE(std::filesystem::is_symlink(temp.folder() / "Dtddta.wet"));
    EXPECT_EQ(temp.read("target.wet"), "new\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.folder()), {}), 2);  // no temporary left
}

// flock(2) needs no write access, so a lock file another user made locks all the same.
// A schedule that is a pipe or a device, or a link to one, is never read as a schedule (reading
// it says it is no plain file) nor replaced by a plain file, and no lock file is made beside it. The device is one of our own
// making, a null device like /dev/null, which is itself never touched.
TEST(PosixSave, AnythingButAPlainFileIsNamedAndNeverReplaced) {
    struct Case {
        const char* what;
        mode_t type;  // of what is made at "other/thing"
        bool linked;  // Dtddta.wet is a link to it, else it is Dtddta.wet itself
    };
    const auto files = makeFileSystem();
    const auto codec = makeShiftJisCodec();
    for (const Case& c : {Case{"a pipe", S_IFIFO, false}, Case{"a link to a pipe", S_IFIFO, true},
                          Case{"a device", S_IFCHR, false}, Case{"a link to a device", S_IFCHR, true}}) {
        SCOPED_TRACE(c.what);
        test::TempFolder temp;
        std::filesystem::create_directory(temp.folder() / "other");
        const std::string thing = c.linked ? temp.path("other/thing") : temp.path("Dtddta.wet");
        const int made = ::mknod(thing.c_str(), c.type | 0666, c.type == S_IFCHR ? makedev(1, 3) : 0);
        if (made != 0) {
            ASSERT_EQ(c.type, static_cast<mode_t>(S_IFCHR)) << strerror(errno);
            continue;  // making a device takes root's rights
        }
        if (c.linked) std::filesystem::create_symlink(thing, temp.folder() / "Dtddta.wet");

        ScheduleFile file(*files, *codec, temp.path("Dtddta.wet"));
        const ScheduleText read = file.read();
        EXPECT_EQ(read.state, ScheduleText::State::Unreadable);
        EXPECT_NE(read.reason.find("Dtddta.wet」は通常のファイルではない"), std::string::npos) << read.reason;
        const WriteLock lock = file.lock();
        EXPECT_FALSE(lock.ok());
        EXPECT_NE(lock.status().message.find("通常のファイルではないため保存できません"), std::string::npos)
            << lock.status().message;
        EXPECT_FALSE(file.rewrite({{"98年05月12日 13時05分　再起動"}}).ok);

        struct stat st {};
        ASSERT_EQ(::lstat(thing.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & S_IFMT, c.type);
        const auto entries = [](const std::filesystem::path& folder) {
            return std::distance(std::filesystem::directory_iterator(folder), {});
        };
        EXPECT_EQ(entries(temp.folder()), 2);  // "other" and Dtddta.wet: no lock file, no temporary file
        EXPECT_EQ(entries(temp.folder() / "other"), c.linked ? 1 : 0);
    }
}

TEST(PosixLock, ALockFileWeMayOnlyReadStillLocks) {
    test::TempFolder temp;
    temp.write("Dtddta.wet.lock", "");
    ASSERT_EQ(::chmod(temp.path("Dtddta.wet.lock").c_str(), 0444), 0);
    // Whether a user who may only read the lock file gets the lock; root may write anything, so
    // for root the question goes to a child that has become nobody.
    const auto readerLocks = [&] {
        const bool root = ::geteuid() == 0;
        const pid_t child = root ? ::fork() : 0;
        if (child == 0) {
            if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(2);
            const bool ok = makeFileSystem()->lockForWriting(temp.path("Dtddta.wet"), milliseconds{0}).ok();
            if (!root) return ok;
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    EXPECT_TRUE(readerLocks());
    WriteLock held = makeFileSystem()->lockForWriting(temp.path("Dtddta.wet"), milliseconds{0});
    ASSERT_TRUE(held.ok()) << held.status().message;
    EXPECT_FALSE(readerLocks());
}

TEST(PosixReason, SpeaksTheUsersLanguageWhereTheSystemHasIt) {
    // A private copy of the Japanese locale, as a machine without one installed still allows.
    test::TempFolder locales;
    const std::string made = "localedef -i ja_JP -f UTF-8 '" + locales.path("ja_JP.UTF-8") + "' >/dev/null 2>&1";
    if (std::system(made.c_str()) != 0 && !std::filesystem::exists(locales.folder() / "ja_JP.UTF-8"))
        GTEST_SKIP() << "no ja_JP locale can be made here";
    setenv("LOCPATH", locales.path("").c_str(), 1);
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    const std::string japanese = systemReason(ENOSPC);
    unsetenv("LC_ALL");
    unsetenv("LOCPATH");
    if (japanese == systemReason(ENOSPC)) GTEST_SKIP() << "the C library's Japanese texts are not installed";
    EXPECT_EQ(japanese, "デバイスに空き領域がありません");
}

}  // namespace
}  // namespace qm
