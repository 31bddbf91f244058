// The D-Bus calls that end the session, and who is asked: a table of session managers, then logind.
#include "platform/linux/dbus_session_end.h"

#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <optional>

namespace qm::linux_desktop {

namespace {

constexpr int kTimeoutMs = 15000;

// How long a session manager's answer is waited for. One that refuses says so at once; one that
// takes the request may answer only once every application has agreed (GNOME does), and it asks
// this program too, which cannot answer while it waits (GNOME counts an application silent for a
// second as objecting). So past this the request is taken as under way.
constexpr int kSessionManagerAnswerMs = 500;

const QString kLogindService = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kLogindManager = QStringLiteral("org.freedesktop.login1.Manager");

// A method of a session manager and its arguments; `otherwise` is called instead when the owner
// of the name does not know `method`.
struct Request {
    const char* method;
    QVariantList args;
    const char* otherwise = nullptr;
};

struct Manager {
    SessionManager id;
    const char* service;
    const char* path;
    const char* interface;
    Request logoff, shutdown, restart;
};

// In the order they are looked for. None of these requests asks the user again, but as below.
// clang-format off
const Manager kManagers[] = {
    {SessionManager::Kde, "org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown",
     {"logout", {}}, {"logoutAndShutdown", {}}, {"logoutAndReboot", {}}},
    // GNOME's gnome-session, MATE's mate-session and Cinnamon's cinnamon-session. Logout(1): no
    // confirmation. RequestShutdown and RequestReboot (MATE, Cinnamon) show no dialog; GNOME has
    // only Shutdown and Reboot, after which GNOME Shell shows its end-session dialog if its logout
    // prompt is on, which goes ahead by itself at the end of its count unless an application objects.
    {SessionManager::Gnome, "org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
     {"Logout", {1u}}, {"RequestShutdown", {}, "Shutdown"}, {"RequestReboot", {}, "Reboot"}},
    // xfce4-session: Logout(show_dialog, allow_save), Shutdown(allow_save), Restart(allow_save);
    // allow_save: xfce4-session may save the session for the next log-in, as at a log-off of its own.
    {SessionManager::Xfce, "org.xfce.SessionManager", "/org/xfce/SessionManager", "org.xfce.Session.Manager",
     {"Logout", {false, true}}, {"Shutdown", {true}}, {"Restart", {true}}},
    // Cinnamon before it took org.gnome.SessionManager: the same methods under its own name.
    {SessionManager::Cinnamon, "org.cinnamon.SessionManager", "/org/cinnamon/SessionManager",
     "org.cinnamon.SessionManager", {"Logout", {1u}}, {"RequestShutdown", {}, "Shutdown"},
     {"RequestReboot", {}, "Reboot"}},
};
// clang-format on

const Manager* runningManager() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) return nullptr;
    for (const Manager& manager : kManagers) {
        if (bus.interface()->isServiceRegistered(QString::fromLatin1(manager.service))) return &manager;
    }
    return nullptr;
}

QString errorText(const QDBusMessage& reply) {
    const QString message = reply.errorMessage();
    return message.isEmpty() ? reply.errorName() : message;
}

// Sends `call` and waits for the answer; an error reply or no answer is a failure with its text.
Status send(const QDBusConnection& bus, const QDBusMessage& call, QDBusMessage* reply = nullptr) {
    if (!bus.isConnected()) return Status::failure(bus.lastError().message().toStdString());
    const QDBusMessage answer = bus.call(call, QDBus::Block, kTimeoutMs);
    if (answer.type() == QDBusMessage::ErrorMessage) return Status::failure(errorText(answer).toStdString());
    if (reply) *reply = answer;
    return Status::success();
}

QDBusMessage logindCall(const QString& method, const QVariantList& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(kLogindService, kLogindPath, kLogindManager, method);
    call.setArguments(args);
    return call;
}

// The object path of this program's logind session: by its process id, or else by
// $XDG_SESSION_ID, which a desktop sets for everything started in the session.
Status ownSession(QString* path) {
    const QDBusConnection bus = QDBusConnection::systemBus();
    QDBusMessage reply;
    Status byPid =
        send(bus, logindCall(QStringLiteral("GetSessionByPID"), {static_cast<uint>(getpid())}), &reply);
    if (!byPid.ok) {
        const QString id = qEnvironmentVariable("XDG_SESSION_ID");
        if (id.isEmpty()) return byPid;
        Status byId = send(bus, logindCall(QStringLiteral("GetSession"), {id}), &reply);
        if (!byId.ok) return byId;
    }
    if (reply.arguments().isEmpty()) return Status::failure("logind named no session");
    *path = qvariant_cast<QDBusObjectPath>(reply.arguments().front()).path();
    return Status::success();
}

// Asks logind whether the machine can `what` ("Suspend", "Hibernate"), then does it.
Status sleepVia(const QString& what) {
    const QDBusConnection bus = QDBusConnection::systemBus();
    QDBusMessage reply;
    if (Status asked = send(bus, logindCall(QStringLiteral("Can") + what, {}), &reply); !asked.ok) return asked;
    const QString answer = reply.arguments().isEmpty() ? QString() : reply.arguments().front().toString();
    if (answer != QStringLiteral("yes") && answer != QStringLiteral("challenge"))
        return Status::failure(("logind: Can" + what + " = " + answer).toStdString());
    return send(bus, logindCall(what, {false}));
}

Status ownSessionCall(const QString& method) {
    QString path;
    if (Status found = ownSession(&path); !found.ok) return found;
    return send(QDBusConnection::systemBus(),
                QDBusMessage::createMethodCall(kLogindService, path, QStringLiteral("org.freedesktop.login1.Session"),
                                               method));
}

// Asks `manager` for `request`. Its refusal comes back with its reason; an answer still to come
// after kSessionManagerAnswerMs means the manager is asking the applications.
Status ask(const Manager& manager, const Request& request) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return Status::failure(bus.lastError().message().toStdString());
    auto call = [&](const char* method) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(QString::fromLatin1(manager.service), QString::fromLatin1(manager.path),
                                           QString::fromLatin1(manager.interface), QString::fromLatin1(method));
        message.setArguments(request.args);
        return bus.call(message, QDBus::Block, kSessionManagerAnswerMs);
    };
    QDBusMessage answer = call(request.method);
    if (request.otherwise && answer.type() == QDBusMessage::ErrorMessage &&
        answer.errorName() == QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"))
        answer = call(request.otherwise);
    if (answer.type() == QDBusMessage::ErrorMessage &&
        answer.errorName() != QStringLiteral("org.freedesktop.DBus.Error.NoReply"))
        return Status::failure(errorText(answer).toStdString());
    return Status::success();
}

}  // namespace

SessionManager DbusSessionEnd::sessionManager() {
    const Manager* manager = runningManager();
    return manager ? manager->id : SessionManager::None;
}

// Shut-down, restart and log off go to the desktop's session manager where one runs, so that it
// can save the session and ask about unsaved work; else, and for what is logind's alone (the forced
// exit, so that no application can object), to logind.
Status DbusSessionEnd::end(SessionRequest request) {
    const QDBusConnection bus = QDBusConnection::systemBus();
    switch (request) {
        case SessionRequest::PowerOff:
            if (const Manager* manager = runningManager()) return ask(*manager, manager->shutdown);
            [[fallthrough]];
        case SessionRequest::ForcedPowerOff:
            return send(bus, logindCall(QStringLiteral("PowerOff"), {false}));  // not interactive
        case SessionRequest::Reboot:
            if (const Manager* manager = runningManager()) return ask(*manager, manager->restart);
            return send(bus, logindCall(QStringLiteral("Reboot"), {false}));
        case SessionRequest::LogOff:
            if (const Manager* manager = runningManager()) return ask(*manager, manager->logoff);
            return ownSessionCall(QStringLiteral("Terminate"));
        case SessionRequest::Suspend:
            return sleepVia(QStringLiteral("Suspend"));
        case SessionRequest::Hibernate:
            return sleepVia(QStringLiteral("Hibernate"));
        case SessionRequest::LockScreen:
            return ownSessionCall(QStringLiteral("Lock"));
    }
    return Status::failure("no way to end the session is known for this request");
}

}  // namespace qm::linux_desktop
