// The settings window's list editing: timer entries, the list's popup menu, deleting past
// entries, and the calendar that opens the time-of-day dialog. None of it touches the file.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <string_view>

#include "forms/settings_window.h"
#include "forms/texts.h"
#include "platform/ui/runtime.h"
#include "schedule/schedule_entry.h"

namespace qm {

namespace {

inline constexpr std::string_view kChooseHourOrMinute = "「時」又は「分」を選択して下さい";

// The number that a list item starts with: "05分後" gives 5.
int leadingNumber(std::string_view item) {
    int value = 0;
    std::from_chars(item.data(), item.data() + std::min<std::size_t>(2, item.size()), value);
    return value;
}

}  // namespace

void SettingsWindow::addTimerEntryClicked() {
    const std::string_view method = methods_.chosenWord();
    if (hoursList_->listIndex() < 0 && minutesList_->listIndex() < 0) {
        runtime().messageBox(std::string(kChooseHourOrMinute), std::string(texts::kProgramTitle));
        return;
    }
    // Hours win over minutes; the two are never added together.
    const LocalTime now = n_.clock.now();
    LocalTime target = now;
    if (minutesList_->listIndex() >= 0)
        target = now + std::chrono::minutes(leadingNumber(minutesList_->list(minutesList_->listIndex())));
    if (hoursList_->listIndex() >= 0)
        target = now + std::chrono::hours(leadingNumber(hoursList_->list(hoursList_->listIndex())));
    n_.list.append(datedEntry(target, method));
}

void SettingsWindow::scheduleListMenuAsked(ui::ScreenPoint anchor) {
    // The right click does not move the selection: "削除" acts on the item selected before.
    deleteItem_->setEnabled(scheduleList_->listIndex() >= 0);
    popupMenu(*listMenu_, ui::PopupButtons::Left, anchor, {});
}

void SettingsWindow::deleteChosen() {
    const int selected = scheduleList_->listIndex();
    if (selected >= 0) n_.list.remove(static_cast<std::size_t>(selected));
}

void SettingsWindow::deleteAllChosen() { n_.list.clear(); }

void SettingsWindow::deletePastClicked() { n_.list.removePast(n_.clock.now()); }

void SettingsWindow::calendarClicked() {
    // The dialog takes the picked day when it opens; if it is open already it keeps the day it
    // took then.
    n_.windows.showTimeOfDay(calendar_->date());
}

}  // namespace qm
