// Starting and stopping the private buses and the dbusmock services of the D-Bus tests.
#include "tests/qt/private_buses.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QThread>
#include <stdexcept>

namespace qm::qt::test {

namespace {
// Debian's own Python: another one earlier on PATH may lack the dbusmock module.
const QString kPython = QStringLiteral("/usr/bin/python3");
const QString kMockInterface = QStringLiteral("org.freedesktop.DBus.Mock");
}  // namespace

PrivateBuses::PrivateBuses() {
    qputenv("DBUS_SESSION_BUS_ADDRESS", startDaemon().toUtf8());
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", startDaemon().toUtf8());
}

PrivateBuses::~PrivateBuses() {
    for (auto& process : processes_) {
        process->kill();
        process->waitForFinished(3000);
    }
}

QString PrivateBuses::startDaemon() {
    auto daemon = std::make_unique<QProcess>();
    daemon->setProcessChannelMode(QProcess::SeparateChannels);
    daemon->start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=" QM_PRIVATE_BUS_CONF), QStringLiteral("--nofork"),
                   QStringLiteral("--print-address")});
    if (!daemon->waitForStarted(5000)) throw std::runtime_error("dbus-daemon did not start");
    QByteArray address;
    while (!address.contains('\n') && daemon->waitForReadyRead(5000))
        address += daemon->readAllStandardOutput();
    if (!address.contains('\n')) throw std::runtime_error("dbus-daemon gave no address");
    processes_.push_back(std::move(daemon));
    return QString::fromUtf8(address.trimmed());
}

QProcess* PrivateBuses::startMock(const QStringList& args) {
    auto mock = std::make_unique<QProcess>();
    mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock->start(kPython, QStringList{QStringLiteral("-m"), QStringLiteral("dbusmock")} + args);
    if (!mock->waitForStarted(5000)) throw std::runtime_error("dbusmock did not start");
    processes_.push_back(std::move(mock));
    return processes_.back().get();
}

bool PrivateBuses::waitForName(const QDBusConnection& bus, const QString& name, bool present) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 15000) {
        if (bus.interface()->isServiceRegistered(name).value() == present) return true;
        QThread::msleep(50);
    }
    return false;
}

void PrivateBuses::startLogind() {
    startMock({QStringLiteral("--template"), QStringLiteral("logind")});
    if (!waitForName(QDBusConnection::systemBus(), QStringLiteral("org.freedesktop.login1"), true)) {
        throw std::runtime_error("the mock logind did not appear");
    }
}

QProcess* PrivateBuses::startSessionMock(const QString& service, const QString& path,
                                         const QString& interface) {
    QProcess* mock = startMock({QStringLiteral("--session"), service, path, interface});
    if (!waitForName(QDBusConnection::sessionBus(), service, true))
        throw std::runtime_error("a session mock did not appear");
    return mock;
}

QProcess* PrivateBuses::startSessionTemplate(const QString& name, const QString& parameters,
                                             const QString& service) {
    QProcess* mock = startMock({QStringLiteral("--session"), QStringLiteral("--template"), name,
                                QStringLiteral("--parameters"), parameters});
    if (!waitForName(QDBusConnection::sessionBus(), service, true))
        throw std::runtime_error("a session template did not appear");
    return mock;
}

void PrivateBuses::stop(QProcess* mock, const QString& service) {
    mock->kill();
    mock->waitForFinished(3000);
    waitForName(QDBusConnection::sessionBus(), service, false);
}

QDBusMessage PrivateBuses::mockCall(const QDBusConnection& bus, const QString& service, const QString& path,
                                    const QString& method, const QVariantList& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, kMockInterface, method);
    call.setArguments(args);
    return bus.call(call);
}

QStringList PrivateBuses::calls(const QDBusConnection& bus, const QString& service, const QString& path) {
    // GetCalls gives a(tsav): time, method name, arguments.
    const QDBusMessage reply = mockCall(bus, service, path, QStringLiteral("GetCalls"));
    QStringList out;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return out;
    const QDBusArgument list = reply.arguments().front().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        quint64 time = 0;
        QString method;
        QStringList call;
        list.beginStructure();
        list >> time >> method;
        call << method;
        list.beginArray();
        while (!list.atEnd()) {
            QDBusVariant arg;
            list >> arg;
            const QVariant value = arg.variant();  // a list of strings as its items, with commas
            call << (value.metaType().id() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                                      : value.toString());
        }
        list.endArray();
        list.endStructure();
        out << call.join(QLatin1Char(' '));
    }
    list.endArray();
    return out;
}

}  // namespace qm::qt::test
