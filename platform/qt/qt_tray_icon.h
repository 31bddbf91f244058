// The tray icon on a Linux desktop: a QSystemTrayIcon with the traffic light and its tip. A left
// click delivers WM_LBUTTONUP (0x0202) and a right click WM_RBUTTONUP (0x0205), as on Windows;
// Qt shows no menu of its own.
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

    bool add(const TrayIconData& data) override;
    bool modify(const TrayIconData& data) override;
    bool remove(const TrayIconData& data) override;

    // The icon shown now, for tests; null when none is added.
    QSystemTrayIcon* icon() const { return icon_.get(); }

private:
    void update(const TrayIconData& data);

    std::unique_ptr<QSystemTrayIcon> icon_;
    TrayIconData data_;
};

}  // namespace qm::qt
