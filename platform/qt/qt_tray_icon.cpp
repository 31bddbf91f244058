// QSystemTrayIcon behind the tray icon service.
#include "platform/qt/qt_tray_icon.h"

#include <QSystemTrayIcon>

#include "platform/qt/qt_icons.h"
#include "platform/qt/qt_units.h"

namespace qm::qt {

QtTrayIcon::QtTrayIcon() = default;
QtTrayIcon::~QtTrayIcon() = default;

bool QtTrayIcon::add(const TrayIconData& data) {
    if (icon_) return false;  // one icon per program, as the record's id says
    icon_ = std::make_unique<QSystemTrayIcon>();
    QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         unsigned message = 0;
                         if (reason == QSystemTrayIcon::Trigger) message = kWmLButtonUp;
                         if (reason == QSystemTrayIcon::Context) message = kWmRButtonUp;
                         if (message == 0) return;
                         // Delivered from the event loop, not from inside the icon's own mouse handling: the
                         // handler may open a menu that runs its own loop.
                         const std::uintptr_t window = data_.window;
                         QMetaObject::invokeMethod(
                             icon_.get(), [this, window, message] { deliver(window, message); },
                             Qt::QueuedConnection);
                     });
    update(data);
    icon_->show();
    return true;
}

bool QtTrayIcon::modify(const TrayIconData& data) {
    if (!icon_) return false;
    update(data);
    return true;
}

bool QtTrayIcon::remove(const TrayIconData&) {
    if (!icon_) return false;
    icon_->hide();
    // The removal may run inside a message the icon itself delivered.
    icon_.release()->deleteLater();
    return true;
}

void QtTrayIcon::update(const TrayIconData& data) {
    data_ = data;
    if (data.flags & kNifIcon) icon_->setIcon(programIcon(data.icon));
    if (data.flags & kNifTip) icon_->setToolTip(qs(data.tip));
}

}  // namespace qm::qt
