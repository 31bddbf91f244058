// The time-of-day dialog: completes an entry for the day picked on the settings window's
// calendar (hour, minute, that day only, every day or once idle that long, method) and appends it
// to the settings list.
#pragma once

#include <chrono>
#include <optional>
#include <string_view>

#include "forms/method_choice.h"
#include "platform/clock.h"
#include "platform/ui/form.h"
#include "schedule/schedule_list.h"

namespace qm {

class TimeOfDayDialog final : public ui::Form {
public:
    TimeOfDayDialog(ui::Runtime& runtime, ScheduleList& list, const Clock& clock);
    static ui::FormDef definition();

    // Opens the dialog for `day`; an open dialog only comes to the front and keeps its day.
    void openFor(std::chrono::year_month_day day);

    // An hour or minute as typed or picked: one or two digits, the unit's suffix optional.
    // nullopt for anything else or a value above `max`.
    static std::optional<int> typedNumber(std::string_view text, std::string_view suffix, int max);

private:
    void bind() override;
    void loaded() override;
    void clockTick();
    void addClicked();
    void cancelClicked();

    ScheduleList& list_;
    const Clock& clock_;
    std::chrono::year_month_day day_{};

    ui::Control* clockTimer_ = nullptr;
    ui::Control* dateLabel_ = nullptr;
    ui::Control* clockLabel_ = nullptr;
    ui::Control* hourCombo_ = nullptr;
    ui::Control* minuteCombo_ = nullptr;
    ui::Control* thisDayOnly_ = nullptr;
    ui::Control* weekdays_ = nullptr;
    ui::Control* weekend_ = nullptr;
    ui::Control* weekly_ = nullptr;  // captioned with the picked day's weekday
    ui::Control* idle_ = nullptr;    // the hour and minute are how long the user makes no input
    MethodOptions methods_;
};

}  // namespace qm
