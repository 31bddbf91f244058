// QSystemTrayIcon behind the tray icon service.
#include "platform/qt/qt_tray_icon.h"

#include <QAction>
#include <QLoggingCategory>
#include <QMenu>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

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

// Qt's StatusNotifierItem takes a host's Activate(x, y) without its point, which it only logs,
// as "x y" to qt.qpa.tray, right before it reports the activation; the point is read from there.
// The category's debug messages stay as quiet as they were unless someone asked for them.
class HostPoint {
public:
    static void listen() {
        static const bool once = [] {
            previousFilter_ = QLoggingCategory::installFilter(&filter);
            previousHandler_ = qInstallMessageHandler(&handler);
            return true;
        }();
        (void)once;
    }
    // The point the host named with the activation that is being reported, if any.
    static TrayAnchor take() { return std::exchange(point_, std::nullopt); }

private:
    static bool isTray(const char* category) { return category && qstrcmp(category, "qt.qpa.tray") == 0; }
    static void filter(QLoggingCategory* category) {
        if (previousFilter_) previousFilter_(category);
        if (!isTray(category->categoryName())) return;
        wanted_ = category->isDebugEnabled();
        category->setEnabled(QtDebugMsg, true);
    }
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (type == QtDebugMsg && isTray(context.category)) {
            static const QRegularExpression twoNumbers(QStringLiteral("^(-?\\d+) (-?\\d+)$"));
            const QRegularExpressionMatch m = twoNumbers.match(message);
            const int x = m.hasMatch() ? m.captured(1).toInt() : 0, y = m.hasMatch() ? m.captured(2).toInt() : 0;
            // (0, 0) is what hosts send that know no point.
            point_ = x || y ? TrayAnchor(ui::ScreenPoint{x, y}) : std::nullopt;
            if (!wanted_) return;
        }
        if (previousHandler_) previousHandler_(type, context, message);
    }

    static inline QLoggingCategory::CategoryFilter previousFilter_ = nullptr;
    static inline QtMessageHandler previousHandler_ = nullptr;
    static inline bool wanted_ = false;
    static inline TrayAnchor point_;
};

}  // namespace

QtTrayIcon::QtTrayIcon() = default;
QtTrayIcon::~QtTrayIcon() = default;

bool QtTrayIcon::add(const TrayIconState& state) {
    if (icon_) return false;  // one icon per program
    HostPoint::listen();
    icon_ = std::make_unique<QSystemTrayIcon>();
    QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         const TrayAnchor at = HostPoint::take();
                         const std::optional<TrayClick> click = clickOf(reason);
                         if (!click) return;
                         // Delivered from the event loop, not from inside the icon's own mouse
                         // handling: the handler may open a menu that runs its own loop.
                         QMetaObject::invokeMethod(
                             icon_.get(),
                             [this, click = *click, at] { clicked(click, click == TrayClick::Primary ? at : std::nullopt); },
                             Qt::QueuedConnection);
                     });
    // The tray's own message, shown where the desktop's notifications show no buttons: a click on
    // it is the user asking for the choices.
    QObject::connect(icon_.get(), &QSystemTrayIcon::messageClicked, icon_.get(), [this] {
        QMetaObject::invokeMethod(icon_.get(), [this] { noticeClicked(); }, Qt::QueuedConnection);
    });
    update(state);
    updateHostMenu();
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
    // The removal may run inside a click the icon itself delivered; the menu goes after it.
    icon_.release()->deleteLater();
    if (hostMenu_) hostMenu_.release()->deleteLater();
    return true;
}

bool QtTrayIcon::notify(const std::string& title, const std::string& text, std::vector<NoticeAction> actions) {
    if (!icon_) return false;
    noticeActions_ = std::move(actions);
    std::vector<std::string> captions;
    for (const NoticeAction& action : noticeActions_) captions.push_back(action.caption);
    if (!notifications_) notifications_ = std::make_unique<linux_desktop::DesktopNotifications>();
    const auto chosen = [this](std::size_t i) {
        if (i >= noticeActions_.size() || !noticeActions_[i].chosen) return;
        const std::function<void()> action = noticeActions_[i].chosen;  // the choice may replace the actions
        action();
    };
    if (notifications_->send(title, text, captions, chosen)) return true;
    icon_->showMessage(qs(title), qs(text), QSystemTrayIcon::Information);
    return true;
}

void QtTrayIcon::setHostMenu(std::vector<TrayMenuItem> items) {
    hostItems_ = std::move(items);
    if (icon_) updateHostMenu();
}

QMenu* QtTrayIcon::hostMenu() const { return icon_ ? icon_->contextMenu() : nullptr; }

void QtTrayIcon::update(const TrayIconState& state) {
    icon_->setIcon(programIcon(state.icon));
    icon_->setToolTip(qs(state.tip));
}

void QtTrayIcon::updateHostMenu() {
    if (hostItems_.empty()) return;
    if (!hostMenu_) hostMenu_ = std::make_unique<QMenu>();
    QList<QAction*> actions = hostMenu_->actions();
    const bool sameShape = std::equal(actions.begin(), actions.end(), hostItems_.begin(), hostItems_.end(),
                                      [](const QAction* a, const TrayMenuItem& item) {
                                          return a->isSeparator() == (item.caption == "-");
                                      });
    if (!sameShape) {
        hostMenu_->clear();
        for (std::size_t i = 0; i < hostItems_.size(); ++i) {
            if (hostItems_[i].caption == "-") {
                hostMenu_->addSeparator();
                continue;
            }
            // Chosen from the event loop: the choice may change the menu.
            QObject::connect(hostMenu_->addAction(QString()), &QAction::triggered, hostMenu_.get(), [this, i] {
                QMetaObject::invokeMethod(
                    hostMenu_.get(),
                    [this, i] {
                        if (i >= hostItems_.size() || !hostItems_[i].chosen) return;
                        const std::function<void()> chosen = hostItems_[i].chosen;
                        chosen();
                    },
                    Qt::QueuedConnection);
            });
        }
        actions = hostMenu_->actions();
    }
    for (qsizetype i = 0; i < actions.size(); ++i) {
        if (!actions[i]->isSeparator()) actions[i]->setText(qs(hostItems_[static_cast<std::size_t>(i)].caption));
    }
    if (icon_->contextMenu() == hostMenu_.get()) return;
    icon_->setContextMenu(hostMenu_.get());
    // A StatusNotifierItem exports the menu to its host, which draws it; Qt's XEmbed icon would
    // pop it up itself on the right button's press.
    if (!hostMenu_->platformMenu()) icon_->setContextMenu(nullptr);
}

}  // namespace qm::qt
