// Ending the session over D-Bus, against python3-dbusmock's logind on a private system bus and
// stand-ins for each desktop's session manager on a private session bus: the right call for each
// method, and a refusal coming back with its reason. And the idle time from logind's idle hint.
#include "platform/linux/dbus_session_end.h"

#include <time.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QElapsedTimer>
#include <utility>
#include <vector>

#include "platform/linux/session_idle.h"
#include "tests/qt/private_buses.h"
#include "tests/qt/qt_test_app.h"

namespace qm::qt {
using namespace linux_desktop;
namespace {

const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

test::PrivateBuses* buses = nullptr;

class BusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        test::app();
        buses = new test::PrivateBuses;
        buses->startLogind();
    }
    void TearDown() override { delete buses; }
};
[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new BusEnvironment);

QDBusMessage mock(const QString& method, const QVariantList& args, const QString& path = kManagerPath) {
    return test::PrivateBuses::mockCall(QDBusConnection::systemBus(), kLogind, path, method, args);
}

QStringList logindCalls(const QString& path = kManagerPath) {
    return test::PrivateBuses::calls(QDBusConnection::systemBus(), kLogind, path);
}

// A session of this user in the mock logind; its object path.
QString addSession(const QString& id) {
    const QDBusMessage reply =
        mock(QStringLiteral("AddSession"),
             {id, QStringLiteral("seat0"), static_cast<uint>(getuid()), QStringLiteral("user"), true});
    return reply.arguments().value(0).toString();
}

// What GetSessionByPID answers: a session path, or logind's error for a process outside every session.
void sessionByPid(const QString& sessionPath) {
    const QString code =
        sessionPath.isEmpty()
            ? QStringLiteral(
                  "raise dbus.exceptions.DBusException('PID does not belong to any known session', "
                  "name='org.freedesktop.login1.NoSessionForPID')")
            : QStringLiteral("ret = '%1'").arg(sessionPath);
    mock(QStringLiteral("AddMethod"),
         {kManager, QStringLiteral("GetSessionByPID"), QStringLiteral("u"), QStringLiteral("o"), code});
}

class DbusSessionEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        mock(QStringLiteral("ClearCalls"), {});
        qunsetenv("XDG_SESSION_ID");
    }
    DbusSessionEnd session;
};

TEST_F(DbusSessionEndTest, without_a_session_manager_shut_down_and_restart_go_to_logind_unasked) {
    ASSERT_EQ(DbusSessionEnd::sessionManager(), SessionManager::None);
    EXPECT_TRUE(session.end(SessionRequest::PowerOff).ok);
    EXPECT_TRUE(session.end(SessionRequest::Reboot).ok);
    EXPECT_TRUE(session.end(SessionRequest::ForcedPowerOff).ok);
    EXPECT_EQ(logindCalls(), (QStringList{"PowerOff false", "Reboot false", "PowerOff false"}));
}

TEST_F(DbusSessionEndTest, log_off_terminates_the_session_logind_finds_for_the_process) {
    const QString own = addSession(QStringLiteral("c3"));
    sessionByPid(own);
    qputenv("XDG_SESSION_ID", "elsewhere");  // the process's own session comes first
    mock(QStringLiteral("ClearCalls"), {});
    EXPECT_TRUE(session.end(SessionRequest::LogOff).ok);
    EXPECT_EQ(logindCalls(own), QStringList{"Terminate"});
    EXPECT_EQ(logindCalls(), (QStringList{QStringLiteral("GetSessionByPID %1").arg(getpid())}));
}

TEST_F(DbusSessionEndTest, sleep_and_hibernation_ask_logind_whether_it_can_first_and_lock_locks_the_own_session) {
    const QString own = addSession(QStringLiteral("c4"));
    sessionByPid(own);
    mock(QStringLiteral("ClearCalls"), {});
    EXPECT_TRUE(session.end(SessionRequest::Suspend).ok);
    EXPECT_TRUE(session.end(SessionRequest::Hibernate).ok);
    EXPECT_TRUE(session.end(SessionRequest::LockScreen).ok);
    EXPECT_EQ(logindCalls(), (QStringList{"CanSuspend", "Suspend false", "CanHibernate", "Hibernate false",
                                          QStringLiteral("GetSessionByPID %1").arg(getpid())}));
    EXPECT_EQ(logindCalls(own), QStringList{"Lock"});

    // A machine that cannot hibernate says so, and nothing is asked of it.
    mock(QStringLiteral("AddMethod"), {kManager, QStringLiteral("CanHibernate"), QString(), QStringLiteral("s"),
                                       QStringLiteral("ret = 'na'")});
    mock(QStringLiteral("ClearCalls"), {});
    const Status refused = session.end(SessionRequest::Hibernate);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "logind: CanHibernate = na");
    EXPECT_EQ(logindCalls(), QStringList{"CanHibernate"});
}

TEST_F(DbusSessionEndTest, log_off_falls_back_to_the_session_named_by_xdg_session_id) {
    const QString own = addSession(QStringLiteral("c2"));
    sessionByPid({});
    qputenv("XDG_SESSION_ID", "c2");
    EXPECT_TRUE(session.end(SessionRequest::LogOff).ok);
    EXPECT_EQ(logindCalls(own), QStringList{"Terminate"});
}

TEST_F(DbusSessionEndTest, log_off_outside_any_session_fails_with_loginds_reason) {
    sessionByPid({});
    const Status status = session.end(SessionRequest::LogOff);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.message, "PID does not belong to any known session");
}

// A desktop that never set the hint leaves it false at time zero: the next source is tried. Once
// set, a true hint counts from its time and a false one is input just now.
TEST_F(DbusSessionEndTest, the_idle_time_is_the_sessions_idle_hint_once_the_desktop_has_set_it) {
    using namespace std::chrono_literals;
    const QString own = addSession(QStringLiteral("c5"));
    sessionByPid(own);
    const auto idle = makeLogindIdle();
    ASSERT_NE(idle, nullptr);
    EXPECT_EQ(idle->idleTime(), std::nullopt);
    const auto hint = [&](bool idle, std::chrono::seconds ago) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const auto since = static_cast<qulonglong>(now.tv_sec - ago.count()) * 1000000 + now.tv_nsec / 1000;
        mock(QStringLiteral("UpdateProperties"),
             {QStringLiteral("org.freedesktop.login1.Session"),
              QVariantMap{{QStringLiteral("IdleHint"), idle}, {QStringLiteral("IdleSinceHintMonotonic"), since}}},
             own);
    };
    hint(true, 90s);
    EXPECT_EQ(idle->idleTime(), 90s);
    std::string chosen;
    EXPECT_EQ(SessionIdleSource([&](std::string_view name) { chosen = name; }).idleTime(), 90s);
    EXPECT_EQ(chosen, "logind");
    hint(false, 5s);
    EXPECT_EQ(idle->idleTime(), 0s);
}

TEST_F(DbusSessionEndTest, a_refused_shut_down_comes_back_with_the_reason) {
    mock(QStringLiteral("AddMethod"),
         {kManager, QStringLiteral("PowerOff"), QStringLiteral("b"), QString(),
          QStringLiteral("raise dbus.exceptions.DBusException('Interactive authentication required.', "
                         "name='org.freedesktop.DBus.Error.InteractiveAuthorizationRequired')")});
    const Status status = session.end(SessionRequest::PowerOff);
    mock(QStringLiteral("AddMethod"),
         {kManager, QStringLiteral("PowerOff"), QStringLiteral("b"), QString(), QString()});
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.message, "Interactive authentication required.");
}

// A stand-in session manager on the private session bus with `methods` (name, input signature),
// each answering at once; setMethod gives one Python code (dbusmock's) to run instead. Stopped when
// it goes out of scope.
class StandIn {
public:
    StandIn(const QString& service, const QString& path, const QString& interface,
            const std::vector<std::pair<QString, QString>>& methods)
        : service_(service), path_(path), process_(buses->startSessionMock(service, path, interface)) {
        for (const auto& [name, signature] : methods) setMethod(name, signature, {});
    }
    ~StandIn() { buses->stop(process_, service_); }
    void setMethod(const QString& name, const QString& signature, const QString& code) {
        test::PrivateBuses::mockCall(QDBusConnection::sessionBus(), service_, path_, QStringLiteral("AddMethod"),
                                     {QString(), name, signature, QString(), code});
    }
    QStringList calls() const { return test::PrivateBuses::calls(QDBusConnection::sessionBus(), service_, path_); }

private:
    QString service_, path_;
    QProcess* process_;
};

const QString kGnome = QStringLiteral("org.gnome.SessionManager");
const QString kGnomePath = QStringLiteral("/org/gnome/SessionManager");

TEST_F(DbusSessionEndTest,
       each_desktops_session_manager_is_asked_to_log_off_shut_down_and_restart_but_the_forced_exit_goes_to_logind) {
    struct Desktop {
        const char* name;
        SessionManager manager;
        QString service, path, interface;
        std::vector<std::pair<QString, QString>> methods;
        QStringList asked;  // for log off, shut down and restart
    };
    const Desktop desktops[] = {
        {"KDE Plasma", SessionManager::Kde, "org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown",
         {{"logout", ""}, {"logoutAndShutdown", ""}, {"logoutAndReboot", ""}},
         {"logout", "logoutAndShutdown", "logoutAndReboot"}},
        // No RequestShutdown or RequestReboot: the dialog-less requests are tried, then these.
        {"GNOME", SessionManager::Gnome, kGnome, kGnomePath, kGnome,
         {{"Logout", "u"}, {"Shutdown", ""}, {"Reboot", ""}}, {"Logout 1", "Shutdown", "Reboot"}},
        {"MATE or Cinnamon", SessionManager::Gnome, kGnome, kGnomePath, kGnome,
         {{"Logout", "u"}, {"Shutdown", ""}, {"Reboot", ""}, {"RequestShutdown", ""}, {"RequestReboot", ""}},
         {"Logout 1", "RequestShutdown", "RequestReboot"}},
        {"XFCE", SessionManager::Xfce, "org.xfce.SessionManager", "/org/xfce/SessionManager",
         "org.xfce.Session.Manager", {{"Logout", "bb"}, {"Shutdown", "b"}, {"Restart", "b"}},
         {"Logout false true", "Shutdown true", "Restart true"}},
        {"older Cinnamon", SessionManager::Cinnamon, "org.cinnamon.SessionManager", "/org/cinnamon/SessionManager",
         "org.cinnamon.SessionManager", {{"Logout", "u"}, {"RequestShutdown", ""}, {"RequestReboot", ""}},
         {"Logout 1", "RequestShutdown", "RequestReboot"}},
    };
    for (const Desktop& desktop : desktops) {
        SCOPED_TRACE(desktop.name);
        mock(QStringLiteral("ClearCalls"), {});
        StandIn standIn(desktop.service, desktop.path, desktop.interface, desktop.methods);
        EXPECT_EQ(DbusSessionEnd::sessionManager(), desktop.manager);
        for (SessionRequest method :
             {SessionRequest::LogOff, SessionRequest::PowerOff, SessionRequest::Reboot, SessionRequest::ForcedPowerOff}) {
            EXPECT_TRUE(session.end(method).ok) << int(method);
        }
        EXPECT_EQ(standIn.calls(), desktop.asked);
        EXPECT_EQ(logindCalls(), QStringList{"PowerOff false"});
    }
}

TEST_F(DbusSessionEndTest, a_session_managers_refusal_comes_back_with_its_reason_and_a_late_yes_is_not_waited_for) {
    StandIn gnome(kGnome, kGnomePath, kGnome, {{"Shutdown", ""}});
    gnome.setMethod(QStringLiteral("Logout"), QStringLiteral("u"),
                    QStringLiteral("raise dbus.exceptions.DBusException('Logout has been locked down', "
                                   "name='org.gnome.SessionManager.Error.LockedDown')"));
    const Status refused = session.end(SessionRequest::LogOff);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "Logout has been locked down");

    // GNOME answers Shutdown only once every application has agreed, this program among them.
    gnome.setMethod(QStringLiteral("Shutdown"), QString(), QStringLiteral("import time; time.sleep(2)"));
    QElapsedTimer waited;
    waited.start();
    EXPECT_TRUE(session.end(SessionRequest::PowerOff).ok);
    EXPECT_LT(waited.elapsed(), 1500);
    EXPECT_EQ(logindCalls(), QStringList{});
}

}  // namespace
}  // namespace qm::qt
