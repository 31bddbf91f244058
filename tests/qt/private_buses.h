// Private D-Bus buses for a test process: a session bus and a stand-in for the system bus, each a
// dbus-daemon of its own, and python3-dbusmock services on them. The machine's buses are never used.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QString>
#include <memory>
#include <vector>

namespace qm::qt::test {

class PrivateBuses {
public:
    // Starts both buses and points DBUS_SESSION_BUS_ADDRESS and DBUS_SYSTEM_BUS_ADDRESS at them;
    // call before anything in the process touches D-Bus.
    PrivateBuses();
    ~PrivateBuses();

    // python3-dbusmock with its logind template on the system bus.
    void startLogind();
    // A mock of `service` at `path` with `interface` on the session bus; returns its process, to stop.
    QProcess* startSessionMock(const QString& service, const QString& path, const QString& interface);
    // dbusmock's `name` template (with its JSON `parameters`) on the session bus, owning `service`.
    QProcess* startSessionTemplate(const QString& name, const QString& parameters, const QString& service);
    void stop(QProcess* mock, const QString& service);

    // Calls a method of dbusmock's control interface (AddMethod, AddSession, GetCalls, ClearCalls).
    static QDBusMessage mockCall(const QDBusConnection& bus, const QString& service, const QString& path,
                                 const QString& method, const QVariantList& args = {});
    // The methods called on the mock object, in order, each as its name and arguments ("Logout false true").
    static QStringList calls(const QDBusConnection& bus, const QString& service, const QString& path);

private:
    QString startDaemon();
    QProcess* startMock(const QStringList& args);
    static bool waitForName(const QDBusConnection& bus, const QString& name, bool present);

    std::vector<std::unique_ptr<QProcess>> processes_;
};

}  // namespace qm::qt::test
