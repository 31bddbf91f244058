// The tray resident window: never on screen, it owns the tray icon with a tip that says what comes
// next, the icon's popup menu, pause and resume, and the due check that opens the exit warning,
// asleep until its next moment.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "forms/windows.h"
#include "platform/clock.h"
#include "platform/single_instance.h"
#include "platform/tray_icon.h"
#include "platform/ui/form.h"
#include "schedule/idle_trigger.h"
#include "schedule/next_due.h"

namespace qm {

class TrayWindow final : public ui::Form {
public:
    TrayWindow(ui::Runtime& runtime, TrayIcon& tray, SingleInstance& instance, Schedule& schedule,
               const Clock& clock, IdleSource& idle, Windows& windows);
    static ui::FormDef definition();

    // A click on the icon, released over it: the primary button opens the menu (at `anchor`
    // when a key clicked or the tray host named a point), the secondary one pauses or resumes.
    // Tray hosts that show a menu by themselves get one that does both.
    void trayClicked(TrayClick click, TrayAnchor anchor = std::nullopt);

    // A click on the last notice where the desktop could not show its choices: they open in a
    // window of their own.
    void noticeClicked();

    // The program waited for (--when-exits) has ended: its warning opens now, or, while another
    // warning is open, once that one has closed; paused, never, as an entry whose moment passes
    // during a pause does not fire.
    void waitedForEnded();

    bool paused() const { return paused_; }
    // Pauses or resumes as the right button does; false when it already was so.
    bool setPaused(bool paused);
    const std::string& tipText() const { return tipText_; }

private:
    void bind() override;
    void loaded() override;
    void unloading() override;
    void dueCheckTick();
    void armDueTimer(bool dueNow);
    // Reads the idle time and opens the warning for an inactivity entry whose time is reached.
    void lookForIdle(LocalTime now);
    void selectionChanged();
    void settingsChosen();
    void aboutChosen();
    void exitChosen();

    void openMenu(TrayAnchor anchor);
    void togglePause();
    // The menu a tray host shows by itself: pause or resume, then the popup menu's items.
    std::vector<TrayMenuItem> hostMenu();
    TrayIconState iconState() const;
    // The tip at `now`, and when its text changes next while nothing else happens.
    struct Tip {
        std::string text;
        std::optional<LocalTime> changesAt;
    };
    Tip tipAt(LocalTime now) const;
    // The icon and tip as they are now, to the tray if they changed since they were last told.
    void showState();

    TrayIcon& tray_;
    SingleInstance& instance_;
    Schedule& schedule_;
    const Clock& clock_;
    Windows& windows_;
    IdleTrigger idle_;
    // When the idle trigger looks next; none while it waits for nothing.
    std::optional<LocalTime> idleWake_;
    bool toldNoIdleSource_ = false;  // once a run
    // The program waited for has ended while a warning was open; the look after the next choice
    // (which a warning closing makes) opens its warning.
    bool waitEnded_ = false;
    std::optional<LocalTime> endedWaitWake_;
    void warnForEndedWait();

    ui::Control* dueTimer_ = nullptr;
    ui::Control* runningImage_ = nullptr;
    ui::Control* pausedImage_ = nullptr;
    ui::Control* menu_ = nullptr;

    bool paused_ = false;
    // The last notice told, for a click on it.
    struct Told {
        std::string text;
        LocalTime occurrence;
    };
    std::optional<Told> lastNotice_;
    std::string tipText_;
    bool inTray_ = false;         // added to the tray and not removed since
    TrayIconState shownState_{};  // as the tray was last told
};

}  // namespace qm
