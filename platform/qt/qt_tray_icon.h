// The tray icon on a Linux desktop: a QSystemTrayIcon with the traffic light and its tip. The
// tray's activation (the left button) is the primary click and its context request (the right
// button) the secondary one; Qt shows no menu of its own. Notices go to the desktop's
// notification service.
#pragma once

#include <QObject>
#include <memory>

#include "platform/tray_icon.h"

class QSystemTrayIcon;

namespace qm::qt {

class QtTrayIcon final : public TrayIcon {
public:
    QtTrayIcon();
    ~QtTrayIcon() override;

    bool add(const TrayIconState& state) override;
    bool modify(const TrayIconState& state) override;
    bool remove() override;
    // Through the desktop's notification service (org.freedesktop.Notifications) where one is on
    // the session bus, else as the tray's own message.
    bool notify(const std::string& title, const std::string& text) override;

    // The icon shown now, for tests; null when none is added.
    QSystemTrayIcon* icon() const { return icon_.get(); }

private:
    void update(const TrayIconState& state);

    std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace qm::qt
