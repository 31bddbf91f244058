// The D-Bus calls that end the session, and the choice between them.
#include "platform/qt/dbus_session_end.h"

#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>

namespace qm::qt {

namespace {

constexpr int kTimeoutMs = 15000;

const QString kKdeService = QStringLiteral("org.kde.Shutdown");
const QString kGnomeService = QStringLiteral("org.gnome.SessionManager");
const QString kLogindService = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kLogindManager = QStringLiteral("org.freedesktop.login1.Manager");

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

}  // namespace

SessionEndCall sessionEndCall(ExitMethod method, SessionManager manager) {
    switch (method) {
        case ExitMethod::Shutdown:
            return manager == SessionManager::Kde ? SessionEndCall::KdeShutdown
                                                  : SessionEndCall::LogindPowerOff;
        case ExitMethod::ForcedExit:
            break;  // no session manager is asked, so that no application can object
        case ExitMethod::Restart:
            return manager == SessionManager::Kde ? SessionEndCall::KdeReboot : SessionEndCall::LogindReboot;
        case ExitMethod::Logoff:
            if (manager == SessionManager::Kde) return SessionEndCall::KdeLogout;
            if (manager == SessionManager::Gnome) return SessionEndCall::GnomeLogout;
            return SessionEndCall::LogindTerminate;
        case ExitMethod::Sleep:
            return SessionEndCall::LogindSuspend;
        case ExitMethod::Hibernate:
            return SessionEndCall::LogindHibernate;
        case ExitMethod::Lock:
            return SessionEndCall::LogindLock;
    }
    return SessionEndCall::LogindPowerOff;
}

SessionManager DbusSessionEnd::sessionManager() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) return SessionManager::None;
    if (bus.interface()->isServiceRegistered(kKdeService)) return SessionManager::Kde;
    if (bus.interface()->isServiceRegistered(kGnomeService)) return SessionManager::Gnome;
    return SessionManager::None;
}

Status DbusSessionEnd::perform(SessionEndCall call) {
    auto kde = [](const char* method) {
        return send(QDBusConnection::sessionBus(),
                    QDBusMessage::createMethodCall(kKdeService, QStringLiteral("/Shutdown"), kKdeService,
                                                   QString::fromLatin1(method)));
    };
    switch (call) {
        case SessionEndCall::KdeLogout:
            return kde("logout");
        case SessionEndCall::KdeShutdown:
            return kde("logoutAndShutdown");
        case SessionEndCall::KdeReboot:
            return kde("logoutAndReboot");
        case SessionEndCall::GnomeLogout: {
            QDBusMessage logout =
                QDBusMessage::createMethodCall(kGnomeService, QStringLiteral("/org/gnome/SessionManager"),
                                               kGnomeService, QStringLiteral("Logout"));
            logout.setArguments({1u});
            return send(QDBusConnection::sessionBus(), logout);
        }
        case SessionEndCall::LogindPowerOff:
            return send(QDBusConnection::systemBus(), logindCall(QStringLiteral("PowerOff"), {false}));
        case SessionEndCall::LogindReboot:
            return send(QDBusConnection::systemBus(), logindCall(QStringLiteral("Reboot"), {false}));
        case SessionEndCall::LogindTerminate:
            return ownSessionCall(QStringLiteral("Terminate"));
        case SessionEndCall::LogindSuspend:
            return sleepVia(QStringLiteral("Suspend"));
        case SessionEndCall::LogindHibernate:
            return sleepVia(QStringLiteral("Hibernate"));
        case SessionEndCall::LogindLock:
            return ownSessionCall(QStringLiteral("Lock"));
    }
    return Status::failure("no way to end the session is known for this request");
}

Status DbusSessionEnd::end(ExitMethod method) {
    return perform(sessionEndCall(method, sessionManager()));
}

}  // namespace qm::qt
