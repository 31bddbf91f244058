// The desktop's notification service (org.freedesktop.Notifications on the session bus): a notice
// with choices as its buttons, where the service shows them, and the user's choice heard back.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>
#include <string>
#include <vector>

namespace qm::linux_desktop {

class DesktopNotifications final : public QObject {
    Q_OBJECT
public:
    // On the session bus, or on `bus` for tests.
    DesktopNotifications();
    explicit DesktopNotifications(const QDBusConnection& bus);

    // Sends a notice with `choices` as its buttons, without waiting for its answer; `chosen` gets
    // the index of the button the user pressed, from the event loop, once. A later notice takes
    // the place of this one's choices. False when no service is on the bus, or when there are
    // choices and the service shows no buttons ("actions"): the caller shows the notice another way.
    bool send(const std::string& title, const std::string& text, const std::vector<std::string>& choices,
              std::function<void(std::size_t)> chosen);

private Q_SLOTS:
    void actionInvoked(uint id, const QString& key);
    void notificationClosed(uint id, uint reason);

private:
    bool showsActions() const;

    QDBusConnection bus_;
    unsigned sent_ = 0;   // notices sent; the last one's choices are the ones that count
    uint shownId_ = 0;    // the service's id of the last notice with choices, once it answered
    std::function<void(std::size_t)> chosen_;
};

}  // namespace qm::linux_desktop
