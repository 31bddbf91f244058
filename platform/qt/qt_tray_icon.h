// The tray icon on a Linux desktop: a QSystemTrayIcon with the traffic light and its tip. The
// tray's activation (the left button) is the primary click and its context request (the right
// button) the secondary one; Qt shows no menu of its own. A StatusNotifierItem host that shows
// only menus gets the host menu as the item's D-Bus menu. Notices go to the desktop's
// notification service, their choices as its buttons.
#pragma once

#include <QObject>
#include <memory>
#include <vector>

#include "platform/tray_icon.h"

class QMenu;
class QSystemTrayIcon;

namespace qm::linux_desktop {
class DesktopNotifications;
}

namespace qm::qt {

class QtTrayIcon final : public TrayIcon {
public:
    QtTrayIcon();
    ~QtTrayIcon() override;

    bool add(const TrayIconState& state) override;
    bool modify(const TrayIconState& state) override;
    bool remove() override;
    // Through the desktop's notification service (org.freedesktop.Notifications) where one is on
    // the session bus and shows the actions as buttons, else as the tray's own message, a click on
    // which is reported as noticeClicked().
    bool notify(const std::string& title, const std::string& text, std::vector<NoticeAction> actions) override;
    // The item's D-Bus menu (com.canonical.dbusmenu) where the icon is a StatusNotifierItem; an
    // XEmbed tray gets none, as Qt would pop it up on the right button, which pauses there.
    void setHostMenu(std::vector<TrayMenuItem> items) override;

    // The icon shown now, for tests; null when none is added.
    QSystemTrayIcon* icon() const { return icon_.get(); }
    // The host menu as the icon has it, for tests; null when the tray shows no menus itself.
    QMenu* hostMenu() const;

private:
    void update(const TrayIconState& state);
    void updateHostMenu();

    std::vector<TrayMenuItem> hostItems_;
    std::vector<NoticeAction> noticeActions_;
    std::unique_ptr<linux_desktop::DesktopNotifications> notifications_;
    std::unique_ptr<QMenu> hostMenu_;  // outlives the icon, which points at it
    std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace qm::qt
