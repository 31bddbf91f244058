// Ending the session over D-Bus, against python3-dbusmock's logind on a private system bus and
// mock session managers on a private session bus: the right call for each method, and a refusal
// coming back with its reason.
#include "platform/qt/dbus_session_end.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDBusConnection>

#include "tests/qt/private_buses.h"
#include "tests/qt/qt_test_app.h"

namespace qm::qt {
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
    EXPECT_TRUE(session.end(ExitMethod::Shutdown).ok);
    EXPECT_TRUE(session.end(ExitMethod::Restart).ok);
    EXPECT_TRUE(session.end(ExitMethod::ForcedExit).ok);
    EXPECT_EQ(logindCalls(), (QStringList{"PowerOff false", "Reboot false", "PowerOff false"}));
}

TEST_F(DbusSessionEndTest, log_off_terminates_the_session_logind_finds_for_the_process) {
    const QString own = addSession(QStringLiteral("c3"));
    sessionByPid(own);
    qputenv("XDG_SESSION_ID", "elsewhere");  // the process's own session comes first
    mock(QStringLiteral("ClearCalls"), {});
    EXPECT_TRUE(session.end(ExitMethod::Logoff).ok);
    EXPECT_EQ(logindCalls(own), QStringList{"Terminate"});
    EXPECT_EQ(logindCalls(), (QStringList{QStringLiteral("GetSessionByPID %1").arg(getpid())}));
}

TEST_F(DbusSessionEndTest, sleep_and_hibernation_ask_logind_whether_it_can_first_and_lock_locks_the_own_session) {
    const QString own = addSession(QStringLiteral("c4"));
    sessionByPid(own);
    mock(QStringLiteral("ClearCalls"), {});
    EXPECT_TRUE(session.end(ExitMethod::Sleep).ok);
    EXPECT_TRUE(session.end(ExitMethod::Hibernate).ok);
    EXPECT_TRUE(session.end(ExitMethod::Lock).ok);
    EXPECT_EQ(logindCalls(), (QStringList{"CanSuspend", "Suspend false", "CanHibernate", "Hibernate false",
                                          QStringLiteral("GetSessionByPID %1").arg(getpid())}));
    EXPECT_EQ(logindCalls(own), QStringList{"Lock"});

    // A machine that cannot hibernate says so, and nothing is asked of it.
    mock(QStringLiteral("AddMethod"), {kManager, QStringLiteral("CanHibernate"), QString(), QStringLiteral("s"),
                                       QStringLiteral("ret = 'na'")});
    mock(QStringLiteral("ClearCalls"), {});
    const Status refused = session.end(ExitMethod::Hibernate);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "logind: CanHibernate = na");
    EXPECT_EQ(logindCalls(), QStringList{"CanHibernate"});
}

TEST_F(DbusSessionEndTest, log_off_falls_back_to_the_session_named_by_xdg_session_id) {
    const QString own = addSession(QStringLiteral("c2"));
    sessionByPid({});
    qputenv("XDG_SESSION_ID", "c2");
    EXPECT_TRUE(session.end(ExitMethod::Logoff).ok);
    EXPECT_EQ(logindCalls(own), QStringList{"Terminate"});
}

TEST_F(DbusSessionEndTest, log_off_outside_any_session_fails_with_loginds_reason) {
    sessionByPid({});
    const Status status = session.end(ExitMethod::Logoff);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.message, "PID does not belong to any known session");
}

TEST_F(DbusSessionEndTest, a_refused_shut_down_comes_back_with_the_reason) {
    mock(QStringLiteral("AddMethod"),
         {kManager, QStringLiteral("PowerOff"), QStringLiteral("b"), QString(),
          QStringLiteral("raise dbus.exceptions.DBusException('Interactive authentication required.', "
                         "name='org.freedesktop.DBus.Error.InteractiveAuthorizationRequired')")});
    const Status status = session.end(ExitMethod::Shutdown);
    mock(QStringLiteral("AddMethod"),
         {kManager, QStringLiteral("PowerOff"), QStringLiteral("b"), QString(), QString()});
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.message, "Interactive authentication required.");
}

TEST_F(DbusSessionEndTest,
       plasma_is_asked_to_log_off_shut_down_and_restart_but_the_forced_exit_goes_to_logind) {
    const QString service = QStringLiteral("org.kde.Shutdown");
    QProcess* kde = buses->startSessionMock(service, QStringLiteral("/Shutdown"), service);
    for (const char* method : {"logout", "logoutAndShutdown", "logoutAndReboot"}) {
        test::PrivateBuses::mockCall(
            QDBusConnection::sessionBus(), service, QStringLiteral("/Shutdown"), QStringLiteral("AddMethod"),
            {QString(), QString::fromLatin1(method), QString(), QString(), QString()});
    }
    ASSERT_EQ(DbusSessionEnd::sessionManager(), SessionManager::Kde);
    for (ExitMethod method :
         {ExitMethod::Logoff, ExitMethod::Shutdown, ExitMethod::Restart, ExitMethod::ForcedExit}) {
        EXPECT_TRUE(session.end(method).ok) << int(method);
    }
    EXPECT_EQ(test::PrivateBuses::calls(QDBusConnection::sessionBus(), service, QStringLiteral("/Shutdown")),
              (QStringList{"logout", "logoutAndShutdown", "logoutAndReboot"}));
    EXPECT_EQ(logindCalls(), QStringList{"PowerOff false"});
    buses->stop(kde, service);
}

TEST_F(DbusSessionEndTest, gnome_is_asked_to_log_off_without_confirmation_and_logind_shuts_down) {
    const QString service = QStringLiteral("org.gnome.SessionManager");
    const QString path = QStringLiteral("/org/gnome/SessionManager");
    QProcess* gnome = buses->startSessionMock(service, path, service);
    test::PrivateBuses::mockCall(
        QDBusConnection::sessionBus(), service, path, QStringLiteral("AddMethod"),
        {QString(), QStringLiteral("Logout"), QStringLiteral("u"), QString(), QString()});
    ASSERT_EQ(DbusSessionEnd::sessionManager(), SessionManager::Gnome);
    EXPECT_TRUE(session.end(ExitMethod::Logoff).ok);
    EXPECT_TRUE(session.end(ExitMethod::Shutdown).ok);
    EXPECT_EQ(test::PrivateBuses::calls(QDBusConnection::sessionBus(), service, path),
              QStringList{"Logout 1"});
    EXPECT_EQ(logindCalls(), QStringList{"PowerOff false"});
    buses->stop(gnome, service);
}

}  // namespace
}  // namespace qm::qt
