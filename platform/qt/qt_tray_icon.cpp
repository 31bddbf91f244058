// QSystemTrayIcon behind the tray icon service.
#include "platform/qt/qt_tray_icon.h"

#include <QSystemTrayIcon>
#include <optional>

#include "platform/linux/desktop_notifications.h"
#include "platform/qt/qt_icons.h"
#include "platform/qt/qt_units.h"

namespace qm::qt {

namespace {

std::optional<TrayClick> clickOf(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return TrayClick::Primary;
        case QSystemTrayIcon::Context:
            return TrayClick::Secondary;
        default:
            return std::nullopt;  // a double or middle click means nothing here
    }
}

}  // namespace

QtTrayIcon::QtTrayIcon() = default;
QtTrayIcon::~QtTrayIcon() = default;

bool QtTrayIcon::add(const TrayIconState& state) {
    if (icon_) return false;  // one icon per program
    icon_ = std::make_unique<QSystemTrayIcon>();
    QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         const std::optional<TrayClick> click = clickOf(reason);
                         if (!click) return;
                         // Delivered from the event loop, not from inside the icon's own mouse
                         // handling: the handler may open a menu that runs its own loop.
                         QMetaObject::invokeMethod(
                             icon_.get(), [this, click = *click] { clicked(click); }, Qt::QueuedConnection);
                     });
    update(state);
    icon_->show();
    return true;
}

bool QtTrayIcon::modify(const TrayIconState& state) {
    if (!icon_) return false;
    update(state);
    return true;
}

bool QtTrayIcon::remove() {
    if (!icon_) return false;
    icon_->hide();
    // The removal may run inside a click the icon itself delivered.
    icon_.release()->deleteLater();
    return true;
}

bool QtTrayIcon::notify(const std::string& title, const std::string& text) {
    if (!icon_) return false;
    if (linux_desktop::sendDesktopNotification(title, text)) return true;
    icon_->showMessage(qs(title), qs(text), QSystemTrayIcon::Information);
    return true;
}

void QtTrayIcon::update(const TrayIconState& state) {
    icon_->setIcon(programIcon(state.icon));
    icon_->setToolTip(qs(state.tip));
}

}  // namespace qm::qt
