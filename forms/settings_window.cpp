// The settings window: its definition, loading, the clock label, "設定" and "キャンセル".
#include "forms/settings_window.h"

#include <chrono>
#include <string_view>

#include "forms/texts.h"
#include "forms/ticks.h"
#include "platform/ui/runtime.h"
#include "schedule/schedule_entry.h"

namespace qm {

namespace {

inline constexpr std::string_view kClockPrefix = "現在　　";
inline constexpr std::string_view kHoursLaterSuffix = "時間後";
inline constexpr std::string_view kMinutesLaterSuffix = "分後";
// A save that failed: this, then the OS's reason on the next line.
inline constexpr std::string_view kSaveFailed = "設定を保存できませんでした。";
// 設定 when the file is no longer what the list was read from.
inline constexpr std::string_view kChangedElsewhere =
    "予定ファイルが他のプログラムで変更されています。\n"
    "表示中の一覧で上書きしますか？\n\n"
    "「はい」　表示中の一覧で上書きします。\n"
    "「いいえ」ファイルを読み直します。保存していない変更は失われます。";
// A list read from a schedule file that could not be read is never saved over it.
inline constexpr std::string_view kNotOverUnreadable =
    "読み込めなかった予定ファイルは上書きしません。読み込めるようになってから、設定画面を開き直して下さい。";

inline constexpr ui::Colour kBlue = 0x00FF0000;

// いいえ: one read for the list and the selection, which then follow it as they do when the
// watcher reports the change; a file removed meanwhile leaves nothing scheduled.
void reloadFrom(const ScheduleFile& file, ScheduleList& list, Schedule& schedule) {
    const ScheduleText read = file.read();
    list.discard();
    list.load(read);
    schedule.followChange(read);
}

}  // namespace

SettingsWindow::SettingsWindow(ui::Runtime& runtime, Needs needs)
    : ui::Form(runtime, &SettingsWindow::definition), n_(needs) {}

ui::FormDef SettingsWindow::definition() {
    using ui::Kind;
    const ui::Font gothic9 = fonts::japanese(fonts::kPGothic, 9, true);
    // One control a line, as the window's table reads.
    // clang-format off
    ui::FormDef form{
        .name = "TimeDateSet",
        .caption = "QuietusMachine",
        .clientWidth = 7890,   // 600 wider than at first, so the list shows its longest entries whole
        .clientHeight = 3870,  // 1080 taller than at first, for the timer tab's three later methods
        .border = ui::Border::FixedSingle,
        .startPosition = ui::StartPosition::CentreScreen,
        .icon = ui::Icon::Running,
        .controls = {
            // Outside the tabs.
            {.kind = Kind::TabStrip, .name = "SSTab1", .rect = {0, 0, 3885, 3855}, .tabIndex = 4,
             .tabs = {"日付で設定", "タイマー設定", "詳細設定"}},
            {.kind = Kind::Label, .name = "Label1", .caption = "Label1", .rect = {3960, 120, 3255, 180},
             .font = gothic9, .foreColour = kBlue, .tabIndex = 3, .autoSize = true},
            {.kind = Kind::ListBox, .name = "List1", .rect = {3960, 360, 3855, 2895},
             .font = fonts::japanese(fonts::kPMincho, 9.75, false), .tabIndex = 1, .accessibleName = "予定一覧"},
            {.kind = Kind::Button, .name = "Command2", .caption = "キャンセル", .rect = {4440, 3360, 1335, 375},
             .tabIndex = 2, .isCancel = true},
            {.kind = Kind::Button, .name = "Command1", .caption = "設定", .rect = {5880, 3360, 1335, 375},
             .tooltip = "このボタンを押さないと設定が有効に成りません", .tabIndex = 0, .isDefault = true},
            {.kind = Kind::Timer, .name = "Timer1", .interval = 100},
            {.kind = Kind::Menu, .name = "mnu_PopUp2", .caption = "PupUp2", .visible = false},
            {.kind = Kind::MenuItem, .name = "mnu_Del", .parent = "mnu_PopUp2", .caption = "削除"},
            {.kind = Kind::MenuItem, .name = "mnu_AllDel", .parent = "mnu_PopUp2", .caption = "全て削除"},

            // First tab, "日付で設定".
            {.kind = Kind::Calendar, .name = "Calendar1", .parent = "SSTab1", .tab = 0,
             .rect = {120, 360, 3615, 2295}, .font = fonts::japanese(fonts::kPGothic, 8.25, false), .tabIndex = 5},

            // Second tab, "タイマー設定".
            {.kind = Kind::Label, .name = "Label2(0)", .parent = "SSTab1", .tab = 1, .caption = "何時間後に終了",
             .rect = {120, 480, 1260, 180}, .tabIndex = 12, .autoSize = true},
            {.kind = Kind::ListBox, .name = "List2", .parent = "SSTab1", .tab = 1,
             .rect = {120, 720, 1815, 600}, .tabIndex = 13, .labelledBy = "Label2(0)"},
            {.kind = Kind::Label, .name = "Label2(1)", .parent = "SSTab1", .tab = 1, .caption = "何分後に終了",
             .rect = {120, 1440, 1080, 180}, .tabIndex = 15, .autoSize = true},
            {.kind = Kind::ListBox, .name = "List3", .parent = "SSTab1", .tab = 1,
             .rect = {120, 1680, 1815, 600}, .tabIndex = 14, .labelledBy = "Label2(1)"},
            {.kind = Kind::Frame, .name = "Frame1", .parent = "SSTab1", .tab = 1, .caption = "終了方法",
             .rect = {2040, 360, 1695, 2895}, .tabIndex = 6},
            {.kind = Kind::Button, .name = "Command3", .parent = "SSTab1", .tab = 1, .caption = "登録",
             .rect = {2040, 3360, 1695, 375}, .tabIndex = 11},

            // Third tab, "詳細設定".
            {.kind = Kind::Button, .name = "Command5", .parent = "SSTab1", .tab = 2, .caption = "過去の日付だけ削除",
             .rect = {240, 600, 3375, 375}, .tabIndex = 17},
            {.kind = Kind::Button, .name = "Command4", .parent = "SSTab1", .tab = 2, .caption = "スタートアップに登録",
             .rect = {240, 1080, 3375, 375}, .tabIndex = 16},
            {.kind = Kind::Line, .name = "Line1", .parent = "SSTab1", .tab = 2, .rect = {120, 1680, 3600, 0}},
            {.kind = Kind::Button, .name = "Command6", .parent = "SSTab1", .tab = 2,
             .caption = "QuietusMachine　About",
             .rect = {240, 1800, 3375, 375}, .tabIndex = 18},
            {.kind = Kind::Button, .name = "Command7", .parent = "SSTab1", .tab = 2,
             .caption = "QuietusMachine  Help",
             .rect = {240, 2280, 3375, 375}, .tabIndex = 19},
        },
    };
    // clang-format on
    addMethodOptions(form, "Frame1", {10, 9, 8, 7, 20, 21, 22});
    return form;
}

void SettingsWindow::bind() {
    clockLabel_ = &ctl("Label1");
    scheduleList_ = &ctl("List1");
    calendar_ = &ctl("Calendar1");
    hoursList_ = &ctl("List2");
    minutesList_ = &ctl("List3");
    listMenu_ = &ctl("mnu_PopUp2");
    deleteItem_ = &ctl("mnu_Del");
    methods_.bind(*this);
    scheduleList_->showModel(n_.list);

    clockTimer_ = &ctl("Timer1");
    clockTimer_->onTimer = [this] { clockTick(); };
    ctl("Command1").onClick = [this] { saveClicked(); };
    ctl("Command2").onClick = [this] { cancelClicked(); };
    ctl("Command3").onClick = [this] { addTimerEntryClicked(); };
    scheduleList_->onContextMenu = [this](const ui::ContextMenuEvent& e) { scheduleListMenuAsked(e.anchor); };
    deleteItem_->onClick = [this] { deleteChosen(); };
    ctl("mnu_AllDel").onClick = [this] { deleteAllChosen(); };
    ctl("Command5").onClick = [this] { deletePastClicked(); };
    calendar_->onClick = [this] { calendarClicked(); };
    // The Delete key does what 削除 in the list's menu does.
    scheduleList_->onKeyDown = [this](ui::Key key) {
        if (key == ui::Key::Delete) deleteChosen();
    };
    ctl("Command4").onClick = [this] { startupClicked(); };
    ctl("Command6").onClick = [this] { aboutClicked(); };
    ctl("Command7").onClick = [this] { helpClicked(); };
}

void SettingsWindow::loaded() {
    const auto today = std::chrono::floor<std::chrono::days>(n_.clock.now());
    calendar_->setDate(std::chrono::year_month_day{today});

    for (int h = 0; h <= 23; ++h) hoursList_->addItem(twoDigits(h) + std::string(kHoursLaterSuffix));
    for (int m = 0; m <= 55; m += 5) minutesList_->addItem(twoDigits(m) + std::string(kMinutesLaterSuffix));

    // The list holds the file's lines, read now unless it already exists with edits made while
    // this window was closed. An absent schedule file reads as no lines.
    n_.list.load();
}

void SettingsWindow::unloading() {
    n_.list.discard();  // saved or abandoned: the next load reads the file again
}

void SettingsWindow::clockTick() {
    tickAtNextSecond(*clockTimer_, n_.clock);
    const LocalTime now = n_.clock.now();
    const auto today = std::chrono::floor<std::chrono::days>(now);
    clockLabel_->setCaption(std::string(kClockPrefix) + dateLabelText(std::chrono::year_month_day{today}) + " " +
                            n_.clock.timeText(now - today));
}

void SettingsWindow::saveClicked() {
    if (const auto& reason = n_.list.unreadable()) {
        runtime().messageBox(std::string(kSaveFailed) + "\n" + std::string(kNotOverUnreadable) + "\n" + *reason,
                             std::string(texts::kProgramTitle));
        return;
    }
    // Held from the check to the save, so that another writer (the command line, another
    // user's copy of the program) cannot save between the two; a writer that holds it now is
    // waited for, and its save is then seen as a change.
    WriteLock lock = n_.file.lock();
    if (!lock.ok()) return showSaveFailed(lock.status().message);
    // Something else may have changed the file since the list was read from it (the program
    // reloads an unedited list when it sees that happen, but it may not have seen it): the user
    // chooses which of the two stays.
    if (n_.file.stamp() != n_.list.loadedFrom()) {
        lock.release();  // no other writer waits for the user's answer
        runtime().ask(std::string(kChangedElsewhere), std::string(texts::kProgramTitle), [this](bool overwrite) {
            if (overwrite) {
                if (!isLoaded()) return;  // closed while the question was open
                WriteLock again = n_.file.lock();
                if (!again.ok()) return showSaveFailed(again.status().message);
                writeList();
            } else {
                reloadFrom(n_.file, n_.list, n_.schedule);
            }
        });
        return;
    }
    writeList();
}

void SettingsWindow::writeList() {
    if (!isLoaded()) return;  // closed while the question was open
    ScheduleText written{ScheduleText::State::Read, n_.list.joined(), {}, {}};
    const Status saved = n_.file.rewriteJoined(written.text, &written.stamp);
    // The old file is intact and NextDue unchanged; the list stays for another try.
    if (!saved.ok) return showSaveFailed(saved.message);
    // While the list still exists, so the selection counts the list just saved. It goes over the
    // text just written, which is what reading the file back would give (the codec has checked
    // that it reads back the same), unless the file is not there under its own name.
    if (n_.file.exists())
        n_.schedule.selectNextDueIn(written);
    else
        n_.schedule.selectNextDue();
    unload();
}

void SettingsWindow::showSaveFailed(const std::string& reason) {
    std::string text(kSaveFailed);
    if (!reason.empty()) text += "\n" + reason;
    runtime().messageBox(text, std::string(texts::kProgramTitle));
}

void SettingsWindow::cancelClicked() {
    unload();  // the edits are discarded
}

}  // namespace qm
