// The idle source from logind: the IdleHint and IdleSinceHintMonotonic of this process's session,
// which the desktop sets through logind's SetIdleHint.
#include <time.h>
#include <unistd.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

#include "platform/linux/session_idle.h"

namespace qm::linux_desktop {
namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
// logind answers at once; a blocked system bus must not stall the program's wake-up.
constexpr int kTimeoutMs = 1000;

std::optional<QDBusMessage> call(const QDBusMessage& message) {
    const QDBusMessage reply = QDBusConnection::systemBus().call(message, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
    return reply;
}

// This process's session, by its id, or else the one logind's "auto" path names for it.
QString sessionPath() {
    QDBusMessage byPid = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/login1"),
                                                        QStringLiteral("org.freedesktop.login1.Manager"),
                                                        QStringLiteral("GetSessionByPID"));
    byPid.setArguments({static_cast<uint>(getpid())});
    if (const auto reply = call(byPid))
        return qvariant_cast<QDBusObjectPath>(reply->arguments().front()).path();
    return QStringLiteral("/org/freedesktop/login1/session/auto");
}

std::chrono::microseconds monotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::microseconds(now.tv_nsec / 1000);
}

class LogindIdle final : public IdleSource {
public:
    explicit LogindIdle(QString path) : path_(std::move(path)) {}

    // None when logind does not answer, or while the desktop has never set the hint.
    std::optional<std::chrono::seconds> idleTime() override {
        QDBusMessage get = QDBusMessage::createMethodCall(
            kService, path_, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
        get.setArguments({kSession});
        const auto reply = call(get);
        if (!reply) return std::nullopt;
        const QVariantMap properties = qdbus_cast<QVariantMap>(reply->arguments().front());
        const bool idle = properties.value(QStringLiteral("IdleHint")).toBool();
        const std::chrono::microseconds since(
            properties.value(QStringLiteral("IdleSinceHintMonotonic")).toULongLong());
        if (!idle && since.count() == 0) return std::nullopt;
        if (!idle) return std::chrono::seconds(0);
        return std::chrono::duration_cast<std::chrono::seconds>(
            std::max(monotonicNow() - since, std::chrono::microseconds(0)));
    }

private:
    QString path_;
};

}  // namespace

std::unique_ptr<IdleSource> makeLogindIdle() {
    if (!QDBusConnection::systemBus().isConnected()) return nullptr;
    return std::make_unique<LogindIdle>(sessionPath());
}

}  // namespace qm::linux_desktop
