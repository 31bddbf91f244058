// The tray icon service: one icon in the task tray with its tip, and the user's clicks on it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/definition.h"
#include "platform/ui/form.h"

namespace qm {

// A click on the icon, as the tray reports it once the button is released over the icon:
// Primary is the left button (or the tray's activation), Secondary the right one.
enum class TrayClick { Primary, Secondary };
// Where a click made from the keyboard was, or the point a tray host named with its click: where
// a menu it opens opens. A click of the mouse has none; its menu opens at the mouse.
using TrayAnchor = std::optional<ui::ScreenPoint>;

// One item of the menu a tray host shows by itself (a StatusNotifierItem host's D-Bus menu, which
// some hosts show instead of passing on the right button): its caption ("-" a separator) and
// what choosing it does.
struct TrayMenuItem {
    std::string caption;
    std::function<void()> chosen;
};

// A choice offered with a notification (今回は中止, 10分延期): its caption and what choosing it
// does, run from the event loop.
struct NoticeAction {
    std::string caption;
    std::function<void()> chosen;
};

// What the icon shows.
struct TrayIconState {
    ui::Icon icon = ui::Icon::Running;
    std::string tip;
    bool operator==(const TrayIconState&) const = default;
};

class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    // False when there is no tray to hold the icon (no taskbar, no tray host).
    virtual bool add(const TrayIconState& state) = 0;
    virtual bool modify(const TrayIconState& state) = 0;
    virtual bool remove() = 0;
    // A desktop notification from the icon: the tray's balloon on Windows, the desktop's
    // notification service on Linux. False when it could not be shown. Its `actions` are buttons
    // on it where the desktop's notifications have buttons; elsewhere (the Windows balloon, the
    // tray's own message) a click on the notification reports noticeClicked(), and the program
    // offers the choices in a window of its own. A later notification replaces the actions.
    virtual bool notify(const std::string& title, const std::string& text, std::vector<NoticeAction> actions) = 0;
    // A menu opened from the keyboard was closed with nothing chosen: the keyboard goes back to
    // the icon, where the user was. Where the tray has no such thing, nothing happens.
    virtual void focusIcon() {}
    // The menu a tray host shows by itself, now and whenever the icon is added again; its items
    // are chosen from the event loop. Where no tray host shows menus, nothing happens.
    virtual void setHostMenu(std::vector<TrayMenuItem> items) { (void)items; }
    // Clicks on the icon go to `handler`.
    void setClickHandler(std::function<void(TrayClick, TrayAnchor)> handler) { handler_ = std::move(handler); }
    // A click on a notification that could not show its actions as buttons goes to `handler`.
    void setNoticeClickHandler(std::function<void()> handler) { noticeHandler_ = std::move(handler); }

protected:
    void clicked(TrayClick click, TrayAnchor anchor = std::nullopt) const {
        if (handler_) handler_(click, anchor);
    }
    void noticeClicked() const {
        if (noticeHandler_) noticeHandler_();
    }

private:
    std::function<void(TrayClick, TrayAnchor)> handler_;
    std::function<void()> noticeHandler_;
};

}  // namespace qm
