// The program's own D-Bus service and the desktop's notifications, on a private session bus: a
// request from another connection reaches the listening program and its answer comes back; the
// notice's choices are sent as buttons to python3-dbusmock's notification service and the button
// the service reports pressed runs its choice.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QtCore/qtestsupport_core.h>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/dbus_control_channel.h"
#include "platform/linux/desktop_notifications.h"
#include "tests/qt/private_buses.h"
#include "tests/qt/qt_test_app.h"

namespace qm::qt {
using namespace linux_desktop;
namespace {

test::PrivateBuses* buses = nullptr;

class BusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        test::app();
        buses = new test::PrivateBuses;
    }
    void TearDown() override { delete buses; }
};
[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new BusEnvironment);

// What `channel` is answered, sent from another thread while this one runs the event loop, where
// the listening program answers.
std::optional<std::string> sendFromElsewhere(ControlChannel& channel, const std::string& request) {
    auto answer = std::async(std::launch::async, [&] { return channel.send(request); });
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 10000));
    return answer.get();
}

TEST(DbusControlChannel, a_request_from_another_connection_is_answered_by_the_one_program_listening) {
    DbusControlChannel other(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other")));
    EXPECT_EQ(sendFromElsewhere(other, "status"), std::nullopt) << "no program listens";
    {
        DbusControlChannel program(QDBusConnection::sessionBus());
        std::vector<std::string> heard;
        ASSERT_TRUE(program.listen([&](const std::string& request) {
            heard.push_back(request);
            return "次回: " + request;
        }));
        EXPECT_FALSE(DbusControlChannel(QDBusConnection::sessionBus()).listen([](const std::string&) { return ""; }))
            << "a second program does not take the name";
        EXPECT_EQ(sendFromElsewhere(other, "再起動"), "次回: 再起動");
        EXPECT_EQ(heard, std::vector<std::string>{"再起動"});
    }
    EXPECT_EQ(sendFromElsewhere(other, "status"), std::nullopt) << "the program ended";
}

const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");
const QString kNotificationsPath = QStringLiteral("/org/freedesktop/Notifications");

TEST(DesktopNotifications, the_choices_are_buttons_where_the_service_shows_them_and_the_pressed_one_runs_once) {
    struct Case {
        const char* capabilities;
        bool buttons;
    };
    for (const Case& c : {Case{"body actions", true}, Case{"body", false}}) {
        SCOPED_TRACE(c.capabilities);
        QProcess* service = buses->startSessionTemplate(
            QStringLiteral("notification_daemon"), QStringLiteral(R"({"capabilities": "%1"})").arg(c.capabilities),
            kNotifications);
        const QDBusConnection bus = QDBusConnection::sessionBus();
        DesktopNotifications notifications(bus);
        std::vector<std::size_t> chosen;
        const auto choose = [&](std::size_t i) { chosen.push_back(i); };
        EXPECT_EQ(notifications.send("QuietusMachine", "5分後に再起動します", {"今回は中止", "10分延期"}, choose),
                  c.buttons);
        EXPECT_TRUE(notifications.send("QuietusMachine", "plain", {}, nullptr)) << "a notice without choices";
        if (c.buttons) {
            EXPECT_TRUE(notifications.send("QuietusMachine", "5分後に再起動します", {"今回は中止", "10分延期"}, choose));
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return test::PrivateBuses::calls(bus, kNotifications, kNotificationsPath).size() >= 5; }));
            QStringList calls = test::PrivateBuses::calls(bus, kNotifications, kNotificationsPath);
            // GetCapabilities before each Notify with buttons; the buttons as keys and captions.
            ASSERT_EQ(calls.size(), 5);
            EXPECT_TRUE(calls[4].contains(QStringLiteral(" 0,今回は中止,1,10分延期 "))) << calls[4].toStdString();
            for (QString& call : calls) call = call.section(QLatin1Char(' '), 0, 0);
            EXPECT_EQ(calls, (QStringList{"GetCapabilities", "Notify", "Notify", "GetCapabilities", "Notify"}));
            // The service's id of the last notice is 3; the first one's buttons count no more.
            const auto press = [&](uint id, const QString& key) {
                test::PrivateBuses::mockCall(bus, kNotifications, kNotificationsPath, QStringLiteral("EmitSignal"),
                                             {kNotifications, QStringLiteral("ActionInvoked"), QStringLiteral("us"),
                                              QVariantList{id, key}});
            };
            press(1, QStringLiteral("0"));
            // The id comes with Notify's answer, which is not waited for.
            EXPECT_TRUE(QTest::qWaitFor([&] {
                press(3, QStringLiteral("1"));
                return QTest::qWaitFor([&] { return !chosen.empty(); }, 200);
            }));
            press(3, QStringLiteral("0"));
            QTest::qWait(200);
            EXPECT_EQ(chosen, std::vector<std::size_t>{1});
        }
        buses->stop(service, kNotifications);
    }
    EXPECT_FALSE(DesktopNotifications().send("QuietusMachine", "plain", {}, nullptr)) << "no service";
}

}  // namespace
}  // namespace qm::qt
