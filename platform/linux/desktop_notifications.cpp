// Notices through org.freedesktop.Notifications, and their buttons' ActionInvoked.
#include "platform/linux/desktop_notifications.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>
#include <utility>

namespace qm::linux_desktop {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
// Long enough for any service, short enough not to hold up the due check much.
constexpr int kCapabilitiesTimeoutMs = 1000;
}  // namespace

DesktopNotifications::DesktopNotifications() : DesktopNotifications(QDBusConnection::sessionBus()) {}

DesktopNotifications::DesktopNotifications(const QDBusConnection& bus) : bus_(bus) {
    // Followed whoever owns the name now or later.
    bus_.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                 SLOT(actionInvoked(uint, QString)));
    bus_.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                 SLOT(notificationClosed(uint, uint)));
}

bool DesktopNotifications::showsActions() const {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("GetCapabilities"));
    const QDBusMessage reply = bus_.call(call, QDBus::Block, kCapabilitiesTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().front().toStringList().contains(QStringLiteral("actions"));
}

bool DesktopNotifications::send(const std::string& title, const std::string& text,
                                const std::vector<std::string>& choices, std::function<void(std::size_t)> chosen) {
    if (!bus_.isConnected() || !bus_.interface() || !bus_.interface()->isServiceRegistered(kService)) return false;
    if (!choices.empty() && !showsActions()) return false;
    // Each button is a key and its caption; the key is the choice's index.
    QStringList actions;
    for (std::size_t i = 0; i < choices.size(); ++i)
        actions << QString::number(i) << QString::fromStdString(choices[i]);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    // app name, replaces id, icon, summary, body, actions, hints, timeout (the server's own)
    call.setArguments({QStringLiteral("QuietusMachine"), 0u, QStringLiteral("system-shutdown"),
                       QString::fromStdString(title), QString::fromStdString(text), actions, QVariantMap(), -1});
    const unsigned serial = ++sent_;
    shownId_ = 0;
    chosen_ = choices.empty() ? nullptr : std::move(chosen);
    // Not waited for: a slow server must not hold up the due check. Its id comes later.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, serial](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        if (serial == sent_ && reply.isValid() && chosen_) shownId_ = reply.value();
        w->deleteLater();
    });
    return true;
}

void DesktopNotifications::actionInvoked(uint id, const QString& key) {
    bool number = false;
    const std::size_t index = key.toUInt(&number);
    if (id == 0 || id != shownId_ || !number || !chosen_) return;
    shownId_ = 0;  // one choice a notice
    const std::function<void(std::size_t)> chosen = std::exchange(chosen_, nullptr);
    chosen(index);
}

void DesktopNotifications::notificationClosed(uint id, uint) {
    // Some services close a notice right after its button was pressed; ActionInvoked came first.
    if (id == 0 || id != shownId_) return;
    shownId_ = 0;
    chosen_ = nullptr;
}

}  // namespace qm::linux_desktop
