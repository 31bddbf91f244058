// The settings window's list editing: timer entries, the list's popup menu, deleting past
// entries, and the calendar that opens the time-of-day dialog. None of it touches the file.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <string_view>

#include "app/program.h"
#include "forms/TimeDateSet.h"
#include "forms/method_choice.h"
#include "forms/texts.h"
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

void TimeDateSet::Command3_Click() {
    const std::string_view method = chosenMethodWord(*this);
    const ui::Control& hours = ctl("List2");
    const ui::Control& minutes = ctl("List3");
    if (hours.listIndex() < 0 && minutes.listIndex() < 0) {
        runtime().messageBox(std::string(kChooseHourOrMinute), std::string(texts::kProgramTitle), ui::kMbOk);
        return;
    }
    // Hours win over minutes; the two are never added together.
    const LocalTime now = program_.services.clock.now();
    LocalTime target = now;
    if (minutes.listIndex() >= 0)
        target = now + std::chrono::minutes(leadingNumber(minutes.list(minutes.listIndex())));
    if (hours.listIndex() >= 0)
        target = now + std::chrono::hours(leadingNumber(hours.list(hours.listIndex())));
    ctl("List1").addItem(datedEntry(target, method));
}

void TimeDateSet::List1_MouseDown(int button, int /*shift*/, double /*x*/, double /*y*/) {
    if (button != ui::kRightButton) return;
    // The right click does not move the selection: "削除" acts on the item selected before.
    ctl("mnu_Del").setEnabled(ctl("List1").listIndex() >= 0);
    popupMenu(ctl("mnu_PopUp2"), 0);
}

void TimeDateSet::mnu_Del_Click() {
    ui::Control& list = ctl("List1");
    if (list.listIndex() >= 0) list.removeItem(list.listIndex());
}

void TimeDateSet::mnu_AllDel_Click() {
    ctl("List1").clear();
}

void TimeDateSet::Command5_Click() {
    ui::Control& list = ctl("List1");
    const std::vector<std::string> kept = withoutPastEntries(list.items(), program_.services.clock.now());
    if (kept.size() == list.items().size()) return;
    list.clear();
    for (const std::string& line : kept) list.addItem(line);
}

void TimeDateSet::Calendar1_Click() {
    // The dialog reads the picked day itself when it loads; if it is open already it keeps the
    // day it read then.
    program_.timeSet.show();
}

}  // namespace qm
