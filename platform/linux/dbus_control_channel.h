// The control channel on Linux: the running program owns org.quietusmachine.QuietusMachine on the
// session bus, which is this user's own, and answers its one method, Request(s) -> s, at
// /org/quietusmachine/QuietusMachine (interface org.quietusmachine.QuietusMachine.Control).
#pragma once

#include <QDBusConnection>
#include <memory>
#include <optional>
#include <string>

#include "platform/control_channel.h"

class QCoreApplication;

namespace qm::linux_desktop {

inline constexpr char kControlService[] = "org.quietusmachine.QuietusMachine";
inline constexpr char kControlPath[] = "/org/quietusmachine/QuietusMachine";
inline constexpr char kControlInterface[] = "org.quietusmachine.QuietusMachine.Control";

class ControlListener;

class DbusControlChannel final : public ControlChannel {
public:
    // On the session bus, reached when first used: the command line makes its QCoreApplication,
    // which QtDBus needs, only then.
    DbusControlChannel();
    // On `bus`, for tests on a bus of their own.
    explicit DbusControlChannel(const QDBusConnection& bus);
    ~DbusControlChannel() override;

    // False when the bus is not there or another process owns the name.
    bool listen(Handler handler) override;
    // Waits five seconds at most for the answer.
    std::optional<std::string> send(const std::string& request) override;

private:
    QDBusConnection bus();

    int argc_ = 1;
    char name_[8] = "quietus";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
    std::optional<QDBusConnection> bus_;
    std::unique_ptr<ControlListener> listener_;
};

}  // namespace qm::linux_desktop
