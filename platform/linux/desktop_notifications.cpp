// Notices through org.freedesktop.Notifications.
#include "platform/linux/desktop_notifications.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace qm::linux_desktop {

bool sendDesktopNotification(const std::string& title, const std::string& text) {
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(service)) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                                       service, QStringLiteral("Notify"));
    // app name, replaces id, icon, summary, body, actions, hints, timeout (the server's own)
    call.setArguments({QStringLiteral("QuietusMachine"), 0u, QStringLiteral("system-shutdown"),
                       QString::fromStdString(title), QString::fromStdString(text), QStringList(), QVariantMap(),
                       -1});
    // Not waited for: a slow server must not hold up the due check.
    return bus.send(call);
}

}  // namespace qm::linux_desktop
