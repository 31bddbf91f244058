// The time-of-day dialog: its definition, loading from the calendar's day and the clock, the
// clock label, "登録" with its check of the typed hour and minute, and "キャンセル".
#include "forms/time_of_day_dialog.h"

#include <chrono>
#include <string>

#include "forms/texts.h"
#include "forms/ticks.h"
#include "platform/ui/runtime.h"
#include "schedule/schedule_entry.h"
#include "schedule/utf8.h"

namespace qm {

namespace {

inline constexpr std::string_view kHourSuffix = "時";
inline constexpr std::string_view kMinuteSuffix = "分";
inline constexpr std::string_view kClockPrefix = "現在時刻　";
inline constexpr std::string_view kBadHour = "「時」には0から23までの数字を入力して下さい";
inline constexpr std::string_view kBadMinute = "「分」には0から59までの数字を入力して下さい";
inline constexpr std::string_view kBadIdle = "無操作時の時間は00時01分から12時00分までにして下さい";

// A digit as typed: ASCII, or the full-width form (U+FF10 to U+FF19) a Japanese input method gives.
std::optional<int> digitAt(std::string_view text, std::size_t& pos) {
    const std::size_t len = utf8CharLength(text, pos);
    const char32_t c = utf8CodePoint(text, pos, len);
    std::optional<int> digit;
    if (c >= U'0' && c <= U'9') digit = static_cast<int>(c - U'0');
    if (c >= U'０' && c <= U'９') digit = static_cast<int>(c - U'０');
    if (digit) pos += len;
    return digit;
}

}  // namespace

std::optional<int> TimeOfDayDialog::typedNumber(std::string_view text, std::string_view suffix, int max) {
    if (text.ends_with(suffix)) text.remove_suffix(suffix.size());
    std::size_t pos = 0;
    int value = 0;
    int digits = 0;
    while (pos < text.size()) {
        const std::optional<int> digit = digitAt(text, pos);
        if (!digit || ++digits > 2) return std::nullopt;
        value = value * 10 + *digit;
    }
    if (digits == 0 || value > max) return std::nullopt;
    return value;
}

TimeOfDayDialog::TimeOfDayDialog(ui::Runtime& runtime, ScheduleList& list, const Clock& clock)
    : ui::Form(runtime, &TimeOfDayDialog::definition), list_(list), clock_(clock) {}

ui::FormDef TimeOfDayDialog::definition() {
    using ui::Kind;
    // One control a line, as the window's table reads.
    // clang-format off
    ui::FormDef form{
        .name = "TimeSet",
        .caption = "時刻の設定",
        .clientWidth = 4680,
        .clientHeight = 4530,  // 1440 taller than at first, for the later day and method options
        .border = ui::Border::FixedDialog,
        .showInTaskbar = false,
        .startPosition = ui::StartPosition::CentreScreen,
        .icon = ui::Icon::Running,
        .controls = {
            {.kind = Kind::Button, .name = "Command2", .caption = "キャンセル", .rect = {1080, 4080, 1695, 375},
             .tabIndex = 13, .isCancel = true},
            {.kind = Kind::Timer, .name = "Timer1", .interval = 100},
            {.kind = Kind::ComboBox, .name = "Combo2", .caption = "00分", .rect = {1200, 3600, 975, 300},
             .tabIndex = 11},
            {.kind = Kind::ComboBox, .name = "Combo1", .caption = "01時", .rect = {120, 3600, 975, 300},
             .tabIndex = 10},
            {.kind = Kind::Frame, .name = "Frame2", .caption = "終了タイミング", .rect = {120, 1080, 2655, 2415},
             .tabIndex = 7},
            {.kind = Kind::Option, .name = "Option6", .parent = "Frame2", .caption = "この日のみ終了",
             .rect = {120, 240, 1575, 255}, .tabIndex = 9, .value = true},
            {.kind = Kind::Option, .name = "Option5", .parent = "Frame2", .caption = "毎日時間になると終了",
             .rect = {120, 600, 2055, 255}, .tabIndex = 8},
            {.kind = Kind::Option, .name = "Option7", .parent = "Frame2", .caption = "平日のみ",
             .rect = {120, 960, 2055, 255}, .tabIndex = 17},
            {.kind = Kind::Option, .name = "Option8", .parent = "Frame2", .caption = "週末のみ",
             .rect = {120, 1320, 2055, 255}, .tabIndex = 18},
            {.kind = Kind::Option, .name = "Option9", .parent = "Frame2", .caption = "毎週曜日",  // the day set at load
             .rect = {120, 1680, 2055, 255}, .tabIndex = 19},
            {.kind = Kind::Option, .name = "Option13", .parent = "Frame2", .caption = "無操作時",  // the time: how long
             .rect = {120, 2040, 2055, 255}, .tabIndex = 20},
            {.kind = Kind::Button, .name = "Command1", .caption = "登録", .rect = {2880, 4080, 1695, 375},
             .tabIndex = 5, .isDefault = true},
            {.kind = Kind::Frame, .name = "Frame1", .caption = "終了方法", .rect = {2880, 240, 1695, 2895},
             .tabIndex = 0},
            {.kind = Kind::Label, .name = "Label2", .caption = "現在時刻", .rect = {2280, 3600, 975, 225},
             .font = fonts::japanese(fonts::kPMincho, 11.25, true), .tabIndex = 12, .autoSize = true},
            {.kind = Kind::Label, .name = "Label1", .caption = "99年99月99日", .rect = {240, 360, 2655, 375},
             .font = fonts::japanese(fonts::kPMincho, 20.25, true), .tabIndex = 6,
             .align = ui::Align::Centre},
        },
    };
    // clang-format on
    addMethodOptions(form, "Frame1", {1, 2, 3, 4, 14, 15, 16});
    return form;
}

void TimeOfDayDialog::bind() {
    dateLabel_ = &ctl("Label1");
    clockLabel_ = &ctl("Label2");
    hourCombo_ = &ctl("Combo1");
    minuteCombo_ = &ctl("Combo2");
    thisDayOnly_ = &ctl("Option6");
    weekdays_ = &ctl("Option7");
    weekend_ = &ctl("Option8");
    weekly_ = &ctl("Option9");
    idle_ = &ctl("Option13");
    methods_.bind(*this);
    clockTimer_ = &ctl("Timer1");
    clockTimer_->onTimer = [this] { clockTick(); };
    ctl("Command1").onClick = [this] { addClicked(); };
    ctl("Command2").onClick = [this] { cancelClicked(); };
}

void TimeOfDayDialog::openFor(std::chrono::year_month_day day) {
    if (!isLoaded()) day_ = day;
    show();
}

void TimeOfDayDialog::loaded() {
    // The calendar's day as it was when the dialog opened; a later click on another day does not
    // reach an open dialog.
    dateLabel_->setCaption(dateLabelText(day_));
    weekly_->setCaption("毎週" + std::string(weekdayCharacter(std::chrono::weekday{std::chrono::local_days{day_}})) + "曜日");

    const LocalTime now = clock_.now();
    const std::chrono::hh_mm_ss clock{now - std::chrono::floor<std::chrono::days>(now)};
    hourCombo_->setText(twoDigits(static_cast<int>(clock.hours().count())) + std::string(kHourSuffix));
    minuteCombo_->setText(twoDigits(static_cast<int>(clock.minutes().count())) + std::string(kMinuteSuffix));
    for (int h = 0; h <= 23; ++h) hourCombo_->addItem(twoDigits(h) + std::string(kHourSuffix));
    for (int m = 0; m <= 59; ++m) minuteCombo_->addItem(twoDigits(m) + std::string(kMinuteSuffix));
}

void TimeOfDayDialog::clockTick() {
    tickAtNextSecond(*clockTimer_, clock_);
    const LocalTime now = clock_.now();
    clockLabel_->setCaption(std::string(kClockPrefix) +
                            clock_.timeText(now - std::chrono::floor<std::chrono::days>(now)));
}

void TimeOfDayDialog::addClicked() {
    const std::string_view method = methods_.chosenWord();
    // Readers take the fields from fixed positions, so only an hour and a minute that can fire
    // go into the list, written with two digits.
    const std::optional<int> hour = typedNumber(hourCombo_->text(), kHourSuffix, 23);
    if (!hour) {
        runtime().messageBox(std::string(kBadHour), std::string(texts::kProgramTitle));
        return;
    }
    const std::optional<int> minute = typedNumber(minuteCombo_->text(), kMinuteSuffix, 59);
    if (!minute) {
        runtime().messageBox(std::string(kBadMinute), std::string(texts::kProgramTitle));
        return;
    }
    std::string entry;
    if (idle_->value()) {
        const std::chrono::minutes idle = std::chrono::hours{*hour} + std::chrono::minutes{*minute};
        if (idle < std::chrono::minutes{1} || idle > std::chrono::minutes{kIdleMinutesAtMost}) {
            runtime().messageBox(std::string(kBadIdle), std::string(texts::kProgramTitle));
            return;
        }
        list_.append(idleEntry(idle, method));
        unload();
        return;
    }
    // The file keeps two digits of the year: a day it cannot give back is refused, not misread.
    if (const std::chrono::year current =
            std::chrono::year_month_day{std::chrono::floor<std::chrono::days>(clock_.now())}.year();
        thisDayOnly_->value() && !twoDigitYearHolds(day_, current)) {
        runtime().messageBox(outsideTwoDigitYears(current), std::string(texts::kProgramTitle));
        return;
    }
    if (thisDayOnly_->value()) {
        entry = datedEntry(std::chrono::local_days{day_} + std::chrono::hours{*hour} + std::chrono::minutes{*minute},
                           method);
    } else {
        const std::chrono::weekday weekday{std::chrono::local_days{day_}};
        const EntryKind kind = weekdays_->value()  ? EntryKind::Weekdays
                               : weekend_->value() ? EntryKind::Weekend
                               : weekly_->value()  ? EntryKind::Weekly
                                                   : EntryKind::EveryDay;
        entry = dayEntry(kind, weekday, *hour, *minute, method);
    }
    // The settings window may have been closed meanwhile: the entry waits in its list, unsaved,
    // for the next time it is shown.
    list_.append(entry);
    unload();
}

void TimeOfDayDialog::cancelClicked() { unload(); }

}  // namespace qm
