// The tray resident window: its definition, the icon's clicks, pause and resume, the due check,
// the tip that says what comes next, and the popup menu's three commands.
#include "forms/tray_window.h"

#include <algorithm>
#include <string_view>

#include "forms/next_text.h"
#include "forms/texts.h"
#include "platform/ui/runtime.h"

namespace qm {

namespace {

// The first item of the menu a tray host shows by itself: what the right button would do now.
inline constexpr std::string_view kPauseItem = "一時停止";
inline constexpr std::string_view kResumeItem = "再開";
// Five minutes before an entry comes due: this, the method as its option is captioned, then
// "します。".
inline constexpr std::string_view kNoticePrefix = "５分後に";
inline constexpr std::string_view kNoticeSuffix = "します。";
// After the reason a schedule file could not be read at start-up.
inline constexpr std::string_view kUnreadableAtStart = "予定ファイルを読み込めないため、予定は空として扱います。";

inline constexpr int kDueSecondInterval = 100;  // milliseconds

// Far outside every screen.
inline constexpr int kResidentOffset = -50000;

using namespace std::chrono;

std::string twoDigits(unsigned n) { return {char('0' + n / 10 % 10), char('0' + n % 10)}; }

}  // namespace

TrayWindow::TrayWindow(ui::Runtime& runtime, TrayIcon& tray, SingleInstance& instance, Schedule& schedule,
                       const Clock& clock, IdleSource& idle, Windows& windows)
    : ui::Form(runtime, &TrayWindow::definition),
      tray_(tray),
      instance_(instance),
      schedule_(schedule),
      clock_(clock),
      windows_(windows),
      idle_(idle) {}

ui::FormDef TrayWindow::definition() {
    using ui::Kind;
    // One control a line, as the window's table reads.
    // clang-format off
    return {
        .name = "TraySmple",
        .caption = "タスクトレイ常駐",
        .clientWidth = 1200,
        .clientHeight = 900,
        .border = ui::Border::None,
        .controlBox = false,
        .showInTaskbar = false,
        .icon = ui::Icon::Running,
        .role = ui::Role::Window,
        .controls = {
            {.kind = Kind::Timer, .name = "Timer1", .interval = 100},
            {.kind = Kind::Image, .name = "Image1", .rect = {0, 0, 480, 480}, .visible = false,
             .icon = ui::Icon::Running},
            {.kind = Kind::Image, .name = "Image2", .rect = {0, 0, 480, 480}, .visible = false,
             .icon = ui::Icon::Paused},
            {.kind = Kind::Menu, .name = "mnuPopup", .caption = "PopUp", .visible = false},
            {.kind = Kind::MenuItem, .name = "mnuTimeSet", .parent = "mnuPopup", .caption = "時刻の設定"},
            {.kind = Kind::MenuItem, .name = "ssVER", .parent = "mnuPopup", .caption = "QTM About(&A)..."},
            {.kind = Kind::MenuItem, .name = "LL2", .parent = "mnuPopup", .caption = "-"},
            {.kind = Kind::MenuItem, .name = "ssFIN", .parent = "mnuPopup", .caption = "終了(&X)"},
        },
    };
    // clang-format on
}

void TrayWindow::bind() {
    dueTimer_ = &ctl("Timer1");
    runningImage_ = &ctl("Image1");
    pausedImage_ = &ctl("Image2");
    menu_ = &ctl("mnuPopup");
    dueTimer_->onTimer = [this] { dueCheckTick(); };
    ctl("mnuTimeSet").onClick = [this] { settingsChosen(); };
    ctl("ssVER").onClick = [this] { aboutChosen(); };
    ctl("ssFIN").onClick = [this] { exitChosen(); };
}

TrayIconState TrayWindow::iconState() const { return {.icon = icon(), .tip = tipText_}; }

TrayWindow::Tip TrayWindow::tipAt(LocalTime now) const {
    if (paused_) return {std::string(kPausedTip), std::nullopt};
    // The entry the due check waits for: whatever changes the choice changes the tip. A wait for a
    // program's end comes after it.
    std::string waiting;
    if (const auto& exits = schedule_.whenExits())
        waiting.append("\n").append(afterExitText(exits->target, exits->method, kTargetShownAtMost));
    const NextDue* next = schedule_.ahead(now);
    if (!next) return {std::string(kRunningTip) + waiting, std::nullopt};
    const year_month_day date{next->date};
    const hh_mm_ss time{next->time};
    const TimeLeft left = timeLeft(schedule_.nextDueMoment(), now);
    std::string text(kRunningTip);
    text.append("\n").append(kNextPrefix);
    text += twoDigits(static_cast<unsigned>(date.month())) + "月" +
            twoDigits(static_cast<unsigned>(date.day())) + "日 " +
            twoDigits(static_cast<unsigned>(time.hours().count())) + "時" +
            twoDigits(static_cast<unsigned>(time.minutes().count())) + "分";
    const std::string method = methodShown(next->method);
    if (!method.empty()) text.append(" ").append(method);
    text.append(kLeftOpen).append(left.text).append(kLeftClose).append(waiting);
    return {text, left.changesAt};
}

void TrayWindow::showState() {
    tipText_ = tipAt(clock_.now()).text;
    // The same again is not told to the tray: a tip set anew can flicker or be read out again.
    const TrayIconState state = iconState();
    if (!inTray_ || state == shownState_) return;
    shownState_ = state;
    tray_.modify(state);
}

void TrayWindow::loaded() {
    // The start-up check normally catches a second copy before this window loads.
    if (instance_.anotherRunning()) {
        windows_.endProgram();
        return;
    }
    paused_ = false;
    move(kResidentOffset, kResidentOffset);
    setIcon(runningImage_->props().icon);
    // Whatever chooses anew (a save, an abort, a change on disk) may bring the next wake forward,
    // and changes the tip. The first choice comes before the icon, which starts with its tip.
    schedule_.setSelected([this] { selectionChanged(); });
    schedule_.selectNextDue();
    showState();
    inTray_ = true;
    shownState_ = iconState();
    tray_.add(shownState_);  // without a taskbar there is no icon; nothing to do
    tray_.setHostMenu(hostMenu());
    if (const auto& reason = schedule_.unreadable())
        runtime().messageBox(*reason + "\n" + std::string(kUnreadableAtStart), std::string(texts::kProgramTitle));
}

void TrayWindow::unloading() {
    schedule_.setSelected({});
    inTray_ = false;
    tray_.remove();
}

void TrayWindow::trayClicked(TrayClick click, TrayAnchor anchor) {
    if (!isLoaded()) return;
    // Only releases count: pressing a button without releasing it over the icon does nothing.
    switch (click) {
        case TrayClick::Primary:
            openMenu(anchor);
            break;
        case TrayClick::Secondary:
            togglePause();
            break;
    }
}

void TrayWindow::openMenu(TrayAnchor anchor) {
    // The menu's items answer the right button as well. One opened from the keyboard and closed
    // with nothing chosen gives the keyboard back to the icon.
    popupMenu(*menu_, ui::PopupButtons::LeftAndRight, anchor, [this, anchor](bool chosen) {
        if (anchor && !chosen && isLoaded()) tray_.focusIcon();
    });
}

std::vector<TrayMenuItem> TrayWindow::hostMenu() {
    // Pausing or resuming, then the popup menu's own items, which do what they do there.
    // Loading the window again makes the menu again.
    std::vector<TrayMenuItem> items{{std::string(paused_ ? kResumeItem : kPauseItem),
                                     [this] {
                                         if (isLoaded()) togglePause();
                                     }},
                                    {"-", {}}};
    for (ui::Control* item : childrenOf(menu_->name())) {
        items.push_back({item->caption(), [this, item] {
                             if (isLoaded()) runtime().click(*item);
                         }});
    }
    return items;
}

void TrayWindow::togglePause() {
    if (!paused_) {
        dueTimer_->setEnabled(false);
        setIcon(pausedImage_->props().icon);
        paused_ = true;
    } else {
        paused_ = false;
        dueTimer_->setEnabled(true);
        setIcon(runningImage_->props().icon);
        // Entries whose second passed during the pause are in the past now and never fire. The
        // choice sets the timer for the next moment and the tip.
        schedule_.selectNextDue();
    }
    showState();
    tray_.setHostMenu(hostMenu());
}

void TrayWindow::armDueTimer(bool dueNow) {
    // Asleep until the next moment anything can happen (or the tip's time left changes), woken as
    // that second starts; through the due second itself every 100 ms, as the warning hidden by OK
    // within it comes back at the next check.
    if (dueNow) {
        dueTimer_->setInterval(kDueSecondInterval);
        return;
    }
    const LocalTime now = clock_.now();
    LocalTime wake = schedule_.nextWake(now);
    if (const std::optional<LocalTime> tipChanges = tipAt(now).changesAt) wake = std::min(wake, *tipChanges);
    if (idleWake_) wake = std::min(wake, *idleWake_);
    if (endedWaitWake_) wake = std::min(wake, *endedWaitWake_);
    dueTimer_->tickAt(wake);
}

void TrayWindow::selectionChanged() {
    if (!isLoaded() || paused_) return;
    // The inactivity entries may have changed, or a warning closed: the idle time is read at the
    // next tick, never from within whatever chose.
    idleWake_.reset();
    if (!schedule_.idleEntries().empty()) idleWake_ = clock_.now();
    if (waitEnded_) endedWaitWake_ = clock_.now();
    armDueTimer(schedule_.dueAt(clock_.now()));
    showState();
}

void TrayWindow::dueCheckTick() {
    const bool due = schedule_.dueCheck();
    if (idleWake_ && clock_.now() >= *idleWake_) lookForIdle(clock_.now());
    if (endedWaitWake_ && clock_.now() >= *endedWaitWake_) {
        endedWaitWake_.reset();
        warnForEndedWait();
    }
    armDueTimer(due);
    showState();
    if (due) windows_.showWarning();
    // Only in the very second five minutes ahead: an entry added later than that, a pause over
    // that second or a clock set past it gives no notice, and a clock change never a burst.
    if (const auto& notice = schedule_.noticeToTell()) {
        const LocalTime occurrence = notice->moment;
        lastNotice_ = Told{std::string(kNoticePrefix) + std::string(optionCaptionOf(notice->method)) +
                               std::string(kNoticeSuffix),
                           occurrence};
        // Each choice is about the occurrence noticed; one made after it fired changes nothing.
        tray_.notify(std::string(texts::kProgramTitle), lastNotice_->text,
                     {{std::string(texts::kSkipChoice),
                       [this, occurrence] {
                           if (isLoaded()) schedule_.skip(occurrence);
                       }},
                      {std::string(texts::kPostponeChoice), [this, occurrence] {
                           if (isLoaded()) schedule_.postpone(occurrence, minutes{texts::kPostponeMinutes});
                       }}});
    }
}

void TrayWindow::lookForIdle(LocalTime now) {
    const auto& entries = schedule_.idleEntries();
    const IdleTrigger::Look look = idle_.look(entries, now, !windows_.warningOpen());
    idleWake_ = look.wake;
    if (look.noSource && !toldNoIdleSource_) {
        toldNoIdleSource_ = true;
        runtime().messageBox(std::to_string(entries.front().line) + "行目の予定「" + entries.front().entry + "」" +
                                 std::string(texts::kNoIdleSourceSuffix),
                             std::string(texts::kProgramTitle));
    }
    if (!look.due) return;
    windows_.showWarningFor({look.due->method, look.due->line, look.due->entry,
                             [this] { return idle_.userReturned(clock_.now()); }});
}

void TrayWindow::waitedForEnded() {
    if (!isLoaded() || !schedule_.whenExits()) return;
    waitEnded_ = true;
    warnForEndedWait();
}

void TrayWindow::warnForEndedWait() {
    if (!waitEnded_ || !schedule_.whenExits()) {
        waitEnded_ = false;
        return;
    }
    if (!paused_ && windows_.warningOpen()) return;
    waitEnded_ = false;
    const Schedule::WhenExits wait = *schedule_.whenExits();
    schedule_.setWhenExits(std::nullopt);
    if (!paused_) windows_.showWarningFor({wait.method, 0, wait.target});
}

void TrayWindow::noticeClicked() {
    if (isLoaded() && lastNotice_) windows_.showNoticeChoices(lastNotice_->text, lastNotice_->occurrence);
}

bool TrayWindow::setPaused(bool paused) {
    if (!isLoaded() || paused == paused_) return false;
    togglePause();
    return true;
}

void TrayWindow::settingsChosen() { windows_.showSettings(); }

void TrayWindow::aboutChosen() { windows_.showAbout(true); }

void TrayWindow::exitChosen() {
    unload();  // removes the icon first
    windows_.endProgram();
}

}  // namespace qm
