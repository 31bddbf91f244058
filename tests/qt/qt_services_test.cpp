// The Linux desktop services that need no bus: the autostart entry, the single-instance lock,
// the documents handed to the desktop, which call ends the session, the folder watcher, the X
// server's idle time and the process watch.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLockFile>
#include <QProcess>
#include <cstdlib>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QThread>
#include <QtCore/qtestsupport_core.h>
#include <filesystem>
#include <fstream>

#include "platform/linux/inotify_folder_watcher.h"
#include "platform/linux/lock_file_instance.h"
#include "platform/linux/proc_process_watch.h"
#include "platform/linux/session_idle.h"
#include "platform/linux/xdg_autostart.h"
#include "platform/qt/qt_icons.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_tray_icon.h"
#include "tests/qt/qt_test_app.h"
#include "tests/support/folder_changes.h"

namespace qm::qt {
using namespace linux_desktop;
namespace {

std::string readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll().toStdString();
}

class AutostartTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", savedConfig); }
    QTemporaryDir home;
    QByteArray savedConfig;
};

TEST_F(AutostartTest, the_entry_starts_quietus_in_the_program_folder_without_arguments) {
    EXPECT_TRUE(XdgAutostart().create("QuietusMachine", "/opt/QuietusMachine/quietus", "").ok);
    EXPECT_EQ(readFile(home.path() + "/config/autostart/QuietusMachine.desktop"),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=QuietusMachine\n"
              "Exec=\"/opt/QuietusMachine/quietus\"\n"
              "Terminal=false\n");
}

TEST_F(AutostartTest, pressing_twice_leaves_one_entry_with_the_same_content) {
    XdgAutostart shortcut;
    shortcut.create("QuietusMachine", "/opt/q/quietus", "");
    const std::string first = readFile(home.path() + "/config/autostart/QuietusMachine.desktop");
    shortcut.create("QuietusMachine", "/opt/q/quietus", "");
    EXPECT_EQ(readFile(home.path() + "/config/autostart/QuietusMachine.desktop"), first);
    EXPECT_EQ(QDir(home.path() + "/config/autostart").entryList(QDir::Files).size(), 1);
}

TEST_F(AutostartTest, a_program_folder_whose_name_is_not_utf8_gets_no_entry_the_desktop_would_skip) {
    EXPECT_FALSE(XdgAutostart().create("QuietusMachine", "/opt/\x83\x74\x83\x48/quietus", "").ok);  // フォ in Shift_JIS
    EXPECT_FALSE(QFile::exists(home.path() + "/config/autostart/QuietusMachine.desktop"));
}

TEST_F(AutostartTest, without_xdg_config_home_the_entry_goes_under_the_home_folders_config) {
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(autostartFolder(), (QDir::homePath() + "/.config/autostart").toStdString());
    qputenv("XDG_CONFIG_HOME", "relative/path");
    EXPECT_EQ(autostartFolder(), (QDir::homePath() + "/.config/autostart").toStdString())
        << "only an absolute path counts";
}

TEST_F(AutostartTest, an_unwritable_folder_gives_no_entry_and_a_failure) {
    QFile blocker(home.path() + "/config");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
    blocker.close();
    EXPECT_FALSE(XdgAutostart().create("QuietusMachine", "/opt/q/quietus", "").ok);
}

// `quietus --install-desktop-entry`, as a user runs it: it writes the menu's entry and icons and
// ends, with no display and no tray program.
class MenuEntryTest : public ::testing::Test {
protected:
    int run(const QString& dataHome) {
        QProcess quietus;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", dataHome);
        env.insert("XDG_RUNTIME_DIR", home.path());
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", "offscreen");  // a tray program started by mistake would run on
        quietus.setProcessEnvironment(env);
        quietus.start(QStringLiteral(QM_QUIETUS), {QStringLiteral("--install-desktop-entry")});
        if (!quietus.waitForFinished(10000)) {
            quietus.kill();
            quietus.waitForFinished();
            ADD_FAILURE() << "the tray program started";
        }
        return quietus.exitCode();
    }
    QTemporaryDir home;
};

TEST_F(MenuEntryTest, the_option_writes_the_entry_starting_this_program_and_its_icon_then_ends) {
    ASSERT_EQ(run(home.path() + "/data"), 0);
    const std::string entry = readFile(home.path() + "/data/applications/QuietusMachine.desktop");
    const std::string program = QFileInfo(QStringLiteral(QM_QUIETUS)).canonicalFilePath().toStdString();
    EXPECT_NE(entry.find("\nExec=\"" + program + "\"\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nIcon=quietusmachine\n"), std::string::npos) << entry;
    EXPECT_EQ(QImage(home.path() + "/data/icons/hicolor/48x48/apps/quietusmachine.png").size(),
              QSize(48, 48));
    EXPECT_EQ(run(home.path() + "/data"), 0) << "asking again replaces the files";
}

TEST(ExecValue, quotes_the_path_and_escapes_what_the_desktop_entry_format_reserves) {
    struct Case {
        const char* path;
        const char* exec;
    } cases[] = {
        // clang-format off
        {"/opt/q/quietus",      R"("/opt/q/quietus")"},
        {"/home/a b/quietus",   R"("/home/a b/quietus")"},
        {"/x/$HOME/quietus",    R"("/x/\\$HOME/quietus")"},
        {"/x/a\"b/quietus",     R"("/x/a\\"b/quietus")"},
        {"/x/a\\b/quietus",     R"("/x/a\\\\b/quietus")"},
        {"/x/`id`/quietus",     R"("/x/\\`id\\`/quietus")"},
        {"/x/100%/quietus",     R"(/bin/sh -c "exec \\"\\$0\\"" "/x/100%%/quietus")"},
        {"/x/タイマー/quietus", R"("/x/タイマー/quietus")"},
        // clang-format on
    };
    for (const Case& c : cases) EXPECT_EQ(execValue(c.path), c.exec) << c.path;
}

// Where a desktop reads the entry with GLib (GNOME, Cinnamon, XFCE), it must find the program and
// start it, whatever the folder is called.
TEST_F(AutostartTest, glib_starts_the_program_the_entry_names_from_any_folder) {
    if (std::system("/usr/bin/python3 -c 'import gi' 2>/dev/null") != 0) GTEST_SKIP() << "no PyGObject";
    for (const char* name : {"plain", "100% sure", "a \"quoted\" $HOME `x`"}) {
        const QString folder = home.path() + "/" + QString::fromUtf8(name);
        ASSERT_TRUE(QDir().mkpath(folder));
        // A stand-in for the program that only says it was started.
        QFile program(folder + "/quietus");
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\necho started > \"$(dirname \"$0\")/started\"\n");
        program.close();
        program.setPermissions(program.permissions() | QFile::ExeOwner);
        ASSERT_TRUE(XdgAutostart().create("QuietusMachine", (folder + "/quietus").toStdString(), "").ok);
        const std::string launch =
            "/usr/bin/python3 -c \"import gi, sys, time; gi.require_version('Gio', '2.0');"
            "from gi.repository import Gio; a = Gio.DesktopAppInfo.new_from_filename(sys.argv[1]);"
            "sys.exit(2) if a is None else a.launch([], None); time.sleep(1)\" '" +
            (home.path() + "/config/autostart/QuietusMachine.desktop").toStdString() + "'";
        EXPECT_EQ(std::system(launch.c_str()), 0) << name << ": GLib did not accept the entry";
        EXPECT_TRUE(QFile::exists(folder + "/started")) << name << ": the program did not start";
    }
}

class LockTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path() const { return dir.path() + "/QuietusMachine.lock"; }
    QTemporaryDir dir;
};

TEST_F(LockTest, the_first_copy_runs_alone_and_a_second_finds_it_running) {
    LockFileInstance first(path());
    EXPECT_FALSE(first.anotherRunning());
    EXPECT_FALSE(first.anotherRunning()) << "asking again gives the same answer";
    LockFileInstance second(path());
    EXPECT_TRUE(second.anotherRunning());
}

TEST_F(LockTest, a_copy_that_ended_leaves_the_way_free) {
    {
        LockFileInstance first(path());
        EXPECT_FALSE(first.anotherRunning());
    }
    EXPECT_FALSE(LockFileInstance(path()).anotherRunning());
}

TEST_F(LockTest, a_lock_left_by_a_copy_that_died_is_taken_over) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(path());
        lock.tryLock(0);
        _exit(lock.isLocked() ? 0 : 1);  // dies without unlocking
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFile::exists(path()));
    EXPECT_FALSE(LockFileInstance(path()).anotherRunning());
}

TEST(LockFilePath, lives_in_the_users_runtime_folder_and_names_the_user) {
    QTemporaryDir runtime;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    EXPECT_EQ(LockFileInstance::defaultPath(),
              runtime.path() + QStringLiteral("/QuietusMachine-%1.lock").arg(getuid()));
    // Without one, the user's own cache folder, never the shared temporary folder.
    QTemporaryDir cache;
    const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    qunsetenv("XDG_RUNTIME_DIR");
    const QString path = LockFileInstance::defaultPath();
    EXPECT_TRUE(path.startsWith(cache.path() + "/QuietusMachine/")) << path.toStdString();
    EXPECT_EQ(QFileInfo(cache.path() + "/QuietusMachine").permissions() & (QFile::WriteGroup | QFile::WriteOther), 0);
    EXPECT_FALSE(LockFileInstance(path).anotherRunning());
    qputenv("XDG_RUNTIME_DIR", saved);
    qputenv("XDG_CACHE_HOME", savedCache);
}

TEST(DocumentUrl, addresses_stay_addresses_and_paths_become_file_urls) {
    test::app();
    EXPECT_EQ(documentUrl("https://example.invalid/~maker/"),
              QUrl(QStringLiteral("https://example.invalid/~maker/")));
    EXPECT_EQ(documentUrl("/opt/q/Help/Help.htm"), QUrl(QStringLiteral("file:///opt/q/Help/Help.htm")));
    EXPECT_EQ(documentUrl("/opt/q q/Readme.txt").toLocalFile(), QStringLiteral("/opt/q q/Readme.txt"));
    EXPECT_EQ(documentUrl("/opt/a:b/Readme.txt").toLocalFile(), QStringLiteral("/opt/a:b/Readme.txt"));
    // A folder named in Shift_JIS: its bytes, percent-encoded as they are.
    EXPECT_EQ(documentUrl("/opt/\x83\x74/Help.htm").toEncoded(), QByteArray("file:///opt/%83t/Help.htm"));
}

TEST(Icons, the_running_light_shows_green_below_and_the_paused_light_red_above) {
    test::app();
    for (int size : {16, 32, 48}) {
        const QImage running = iconPixmap(ui::Icon::Running, size).toImage();
        const QImage paused = iconPixmap(ui::Icon::Paused, size).toImage();
        ASSERT_EQ(running.size(), QSize(size, size));
        const QPoint top(size / 2, size * 6 / 32), bottom(size / 2, size * 26 / 32);
        EXPECT_GT(QColor(running.pixel(bottom)).green(), 200) << size;
        EXPECT_LT(QColor(running.pixel(top)).red(), 200) << size;
        EXPECT_GT(QColor(paused.pixel(top)).red(), 200) << size;
        EXPECT_LT(QColor(paused.pixel(bottom)).green(), 200) << size;
    }
}

TEST(TrayIcon, shows_the_tip_and_reports_the_left_click_as_primary_and_the_right_as_secondary) {
    test::app();
    QtTrayIcon tray;
    std::vector<TrayClick> clicks;
    tray.setClickHandler([&](TrayClick click, TrayAnchor) { clicks.push_back(click); });
    const TrayIconState running{ui::Icon::Running, "QuietusMachineは動作中です"};
    ASSERT_TRUE(tray.add(running));
    EXPECT_FALSE(tray.add(running)) << "one icon per program";
    EXPECT_EQ(tray.icon()->toolTip(), QStringLiteral("QuietusMachineは動作中です"));
    tray.setHostMenu({{"一時停止", {}}, {"-", {}}, {"終了(&X)", {}}});
    EXPECT_TRUE(tray.icon()->contextMenu() == nullptr) << "no tray host that shows menus: the right button pauses";

    emit tray.icon()->activated(QSystemTrayIcon::Trigger);
    emit tray.icon()->activated(QSystemTrayIcon::DoubleClick);
    emit tray.icon()->activated(QSystemTrayIcon::Context);
    EXPECT_TRUE(clicks.empty()) << "delivered from the event loop, not from inside the icon";
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, (std::vector<TrayClick>{TrayClick::Primary, TrayClick::Secondary}));

    // A StatusNotifierItem host's Activate(x, y): Qt logs the point just before it reports the
    // activation, and the menu opens there; (0, 0) is no point.
    std::vector<TrayAnchor> anchors;
    tray.setClickHandler([&](TrayClick, TrayAnchor anchor) { anchors.push_back(anchor); });
    for (const auto& [x, y] : {std::pair{640, 12}, std::pair{0, 0}}) {
        QMessageLogger(nullptr, 0, nullptr, "qt.qpa.tray").debug() << x << y;
        emit tray.icon()->activated(QSystemTrayIcon::Trigger);
    }
    emit tray.icon()->activated(QSystemTrayIcon::Trigger);
    QCoreApplication::processEvents();
    EXPECT_EQ(anchors, (std::vector<TrayAnchor>{ui::ScreenPoint{640, 12}, std::nullopt, std::nullopt}));

    const TrayIconState paused{ui::Icon::Paused, "QuietusMachineは停止中です"};
    EXPECT_TRUE(tray.modify(paused));
    EXPECT_EQ(tray.icon()->toolTip(), QStringLiteral("QuietusMachineは停止中です"));
    // Both trays show the tip as it is set: the XEmbed tray's own and a StatusNotifierItem's.
    const std::string next = "QuietusMachineは動作中です\n次回: 12月08日 22時30分 再起動（あと15分）";
    EXPECT_TRUE(tray.modify({ui::Icon::Running, next}));
    EXPECT_EQ(tray.icon()->toolTip(), QString::fromStdString(next));
    EXPECT_TRUE(tray.remove());
    EXPECT_EQ(tray.icon(), nullptr);
    EXPECT_FALSE(tray.modify(paused));
}

// Watches `folder` for the schedule, makes a change, and says whether it was reported on this
// thread within `limit` milliseconds.
bool reported(const qm::test::TempFolder& folder, void (*make)(const qm::test::TempFolder&), int limit) {
    test::app();
    InotifyFolderWatcher watcher;
    int calls = 0;
    QThread* thread = nullptr;
    EXPECT_TRUE(watcher.watch(qm::test::utf8(folder.folder()), qm::test::kWatchedName, [&] {
        ++calls;
        thread = QThread::currentThread();
    }));
    make(folder);
    const bool called = QTest::qWaitFor([&] { return calls > 0; }, limit);
    if (called) {
        EXPECT_EQ(thread, QThread::currentThread());
    }
    return called;
}

TEST(FolderWatcher, changes_to_the_schedule_are_reported_within_a_second_and_others_not) {
    for (const qm::test::FolderChange& change : qm::test::kFolderChanges) {
        qm::test::TempFolder folder;
        qm::test::prepareFolder(folder, change);
        EXPECT_EQ(reported(folder, change.make, change.reported ? 1000 : 600), change.reported) << change.what;
    }
}

TEST(FolderWatcher, a_schedule_that_is_a_link_is_watched_where_it_leads) {
    const struct {
        const char* what;
        void (*make)(const qm::test::TempFolder&);
    } cases[] = {
        {"the file written in place", [](const qm::test::TempFolder& f) { f.write("elsewhere/real.wet", "new"); }},
        {"the file replaced by a rename",
         [](const qm::test::TempFolder& f) {
             f.write("elsewhere/new.tmp", "new");
             std::filesystem::rename(f.folder() / "elsewhere/new.tmp", f.folder() / "elsewhere/real.wet");
         }},
    };
    for (const auto& c : cases) {
        qm::test::TempFolder folder("program");
        std::filesystem::create_directory(folder.folder() / "elsewhere");
        folder.write("elsewhere/real.wet", "old");
        std::filesystem::create_symlink("elsewhere/real.wet", folder.folder() / qm::test::kScheduleName);
        EXPECT_TRUE(reported(folder, c.make, 1000)) << c.what;
    }
}

// Mended: the file a link leads to, removed and made again a while later, is seen coming back; and
// the program may ask for one more report while a file is still being written.
TEST(FolderWatcher, a_linked_file_made_again_later_is_seen_and_a_report_comes_again_when_asked) {
    test::app();
    qm::test::TempFolder folder("program");
    std::filesystem::create_directory(folder.folder() / "elsewhere");
    folder.write("elsewhere/real.wet", "old");
    std::filesystem::create_symlink("elsewhere/real.wet", folder.folder() / qm::test::kScheduleName);
    InotifyFolderWatcher watcher;
    int calls = 0;
    ASSERT_TRUE(watcher.watch(qm::test::utf8(folder.folder()), qm::test::kWatchedName, [&] { ++calls; }));
    std::filesystem::remove(folder.folder() / "elsewhere/real.wet");
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls == 1; }, 1000));
    QTest::qWait(300);
    folder.write("elsewhere/real.wet", "new");
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls == 2; }, 1000));
    QTest::qWait(200);
    watcher.reportAgain();
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls == 3; }, 1000));
}

// A program folder named in Shift_JIS, as unzip leaves one: its name is bytes that are not UTF-8,
// and the watcher is given them as they are.
TEST(FolderWatcher, a_folder_whose_name_is_not_utf8_is_watched) {
    test::app();
    qm::test::TempFolder parent;
    const std::string folder = qm::test::utf8(parent.folder()) + "/\x83\x74\x83\x48\x83\x8b\x83\x5f";  // フォルダ
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    InotifyFolderWatcher watcher;
    int calls = 0;
    ASSERT_TRUE(watcher.watch(folder, qm::test::kWatchedName, [&] { ++calls; }));
    std::ofstream(folder + "/" + qm::test::kScheduleName) << "new";
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls > 0; }, 1000));
}

TEST(FolderWatcher, a_folder_that_is_not_there_cannot_be_watched) {
    test::app();
    EXPECT_FALSE(InotifyFolderWatcher().watch("/no/such/folder", qm::test::kWatchedName, [] {}));
}

// The X server's count since the last input grows while nothing happens and starts again at a
// pointer move (xdotool's, through XTEST, as a device's would). Not on a Wayland session.
TEST(IdleSources, the_x_servers_idle_time_grows_and_drops_at_input) {
    using namespace std::chrono_literals;
    if (std::system("command -v Xvfb >/dev/null && command -v xdotool >/dev/null") != 0) GTEST_SKIP() << "no Xvfb or xdotool";
    test::app();
    QProcess server;  // on a display number it finds free, which it writes out
    server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                                          QStringLiteral("tcp")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.canReadLine(); }, 5000));
    const QByteArray oldDisplay = qgetenv("DISPLAY"), oldWayland = qgetenv("WAYLAND_DISPLAY");
    qputenv("DISPLAY", ":" + server.readLine().trimmed());
    qunsetenv("WAYLAND_DISPLAY");
    std::unique_ptr<IdleSource> idle;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (idle = makeX11Idle()) != nullptr; }, 5000));
    QTest::qWait(2100);
    EXPECT_GE(idle->idleTime().value_or(0s), 2s);
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("20"), QStringLiteral("30")});
    EXPECT_EQ(idle->idleTime(), 0s);
    qputenv("WAYLAND_DISPLAY", "wayland-0");
    EXPECT_EQ(makeX11Idle(), nullptr);
    idle.reset();
    qputenv("DISPLAY", oldDisplay);
    qputenv("WAYLAND_DISPLAY", oldWayland);
    server.terminate();
    server.waitForFinished();
}

// A copy of sleep under a name longer than the 15 bytes the kernel keeps of it.
struct Sleeper {
    qm::test::TempFolder folder;
    // A name of this test process's own: ctest runs the cases side by side.
    std::string name = "quietus-test-sleeper-" + std::to_string(::getpid());
    std::filesystem::path program = folder.folder() / name;
    Sleeper() { std::filesystem::copy_file("/bin/sleep", program); }
    std::unique_ptr<QProcess> start(const char* seconds) const {
        auto process = std::make_unique<QProcess>();
        process->start(QString::fromStdString(program.string()), {QString::fromLatin1(seconds)});
        EXPECT_TRUE(process->waitForStarted());
        return process;
    }
};

TEST(ProcessWatch, ends_once_when_no_process_of_the_id_or_the_name_is_left) {
    test::app();
    const Sleeper sleeper;
    const struct {
        const char* what;
        bool pidfds;
        bool byName;  // two processes of the name, ending a second apart
    } cases[] = {
        {"by id", true, false},
        {"by id, without pidfds", false, false},
        {"by name", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto first = sleeper.start("1");
        const auto second = c.byName ? sleeper.start("2") : nullptr;
        ProcProcessWatch watch(c.pidfds);
        int calls = 0;
        ASSERT_TRUE(watch.watch(c.byName ? sleeper.name : std::to_string(first->processId()), [&] { ++calls; }));
        if (c.byName) {
            ASSERT_TRUE(first->waitForFinished());
            QTest::qWait(300);
            EXPECT_EQ(calls, 0);
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return calls > 0; }, 4000));
        QTest::qWait(300);
        EXPECT_EQ(calls, 1);
    }
}

TEST(ProcessWatch, nothing_running_is_refused_and_a_cancelled_watch_never_calls) {
    test::app();
    const Sleeper sleeper;
    ProcProcessWatch watch;
    int calls = 0;
    EXPECT_FALSE(watch.watch(sleeper.name, [&] { ++calls; }));
    EXPECT_FALSE(watch.watch("2147483647", [&] { ++calls; }));
    const auto process = sleeper.start("1");
    ASSERT_TRUE(watch.watch(sleeper.name, [&] { ++calls; }));
    watch.cancel();
    EXPECT_TRUE(process->waitForFinished());
    QTest::qWait(300);
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace qm::qt
