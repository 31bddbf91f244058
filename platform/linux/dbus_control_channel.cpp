// The running program's D-Bus service and the calls other processes make to it.
#include "platform/linux/dbus_control_channel.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <utility>

namespace qm::linux_desktop {

// The object on the bus. QtDBus calls its slot from the event loop.
class ControlListener final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quietusmachine.QuietusMachine.Control")
public:
    explicit ControlListener(ControlChannel::Handler handler) : handler_(std::move(handler)) {}

public Q_SLOTS:
    Q_SCRIPTABLE QString Request(const QString& request) {
        return QString::fromStdString(handler_(request.toStdString()));
    }

private:
    ControlChannel::Handler handler_;
};

namespace {
constexpr int kAnswerTimeoutMs = 5000;
}  // namespace

DbusControlChannel::DbusControlChannel() = default;
DbusControlChannel::DbusControlChannel(const QDBusConnection& bus) : bus_(bus) {}

DbusControlChannel::~DbusControlChannel() {
    if (listener_) {
        bus_->unregisterObject(QLatin1String(kControlPath));
        bus_->unregisterService(QLatin1String(kControlService));
    }
}

QDBusConnection DbusControlChannel::bus() {
    if (!bus_) {
        if (!QCoreApplication::instance()) app_ = std::make_unique<QCoreApplication>(argc_, argv_);
        bus_ = QDBusConnection::sessionBus();
    }
    return *bus_;
}

bool DbusControlChannel::listen(Handler handler) {
    QDBusConnection connection = bus();
    if (listener_ || !connection.isConnected()) return false;
    auto listener = std::make_unique<ControlListener>(std::move(handler));
    if (!connection.registerObject(QLatin1String(kControlPath), listener.get(), QDBusConnection::ExportScriptableSlots))
        return false;
    if (!connection.registerService(QLatin1String(kControlService))) {
        connection.unregisterObject(QLatin1String(kControlPath));
        return false;
    }
    listener_ = std::move(listener);
    return true;
}

std::optional<std::string> DbusControlChannel::send(const std::string& request) {
    const QDBusConnection connection = bus();
    if (!connection.isConnected()) return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kControlService), QLatin1String(kControlPath),
                                                       QLatin1String(kControlInterface), QStringLiteral("Request"));
    call.setArguments({QString::fromStdString(request)});
    // No owner of the name: the bus answers at once that it knows no such service.
    const QDBusMessage reply = connection.call(call, QDBus::Block, kAnswerTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) return std::nullopt;
    return reply.arguments().front().toString().toStdString();
}

}  // namespace qm::linux_desktop

#include "dbus_control_channel.moc"
