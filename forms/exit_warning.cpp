// The exit warning: its definition, the load step, the countdown with its colours, the request
// at zero, "OK" and "中止".
#include "forms/exit_warning.h"

#include <array>
#include <string>
#include <string_view>

#include "forms/texts.h"
#include "platform/ui/runtime.h"

namespace qm {

namespace {

inline constexpr std::string_view kConfirmSuffix = "確認";
inline constexpr std::string_view kCountdownBefore = "このまま何もしなければ";
inline constexpr std::string_view kCountdownAfter = "秒後に";
inline constexpr std::string_view kWillDoSuffix = "します。";
// A refused request: the method word, this, then the OS's reason on the next line.
inline constexpr std::string_view kRefusedSuffix = "できませんでした。";
// An entry whose method word names no method: its line number, its text, then this.
inline constexpr std::string_view kNoMethodSuffix = "は終了方法が分からないため、実行しませんでした。";

inline constexpr ui::Colour kRed = 0x000000FF;
inline constexpr ui::Colour kBlack = 0x00000000;

// The last nine numbers run from dark grey to red (9 first); every other number keeps the colour
// it has.
inline constexpr std::array<ui::Colour, 9> kCountColours{{
    0x000000FF,  // 1 red
    0x000080FF,  // 2 orange
    0x0000FFFF,  // 3 yellow
    0x0000FF00,  // 4 green
    0x00FFFF00,  // 5 cyan
    0x00FF0000,  // 6 blue
    0x00FF00FF,  // 7 magenta
    0x00808080,  // 8 grey
    0x00404040,  // 9 dark grey
}};

// "このまま何もしなければ３０秒後に", with the count the warning starts from in full-width digits.
std::string countdownLine(int from) {
    std::string line(kCountdownBefore);
    for (const char digit : std::to_string(from)) {
        const int d = digit - '0';  // U+FF10 + d
        line += {'\xEF', '\xBC', static_cast<char>(0x90 + d)};
    }
    return line.append(kCountdownAfter);
}

ui::Font labelFont() {
    return fonts::japanese(fonts::kPGothic, 9.75, true);
}

}  // namespace

ExitWarning::ExitWarning(ui::Runtime& runtime, Schedule& schedule, SessionEnd& session, Windows& windows)
    : ui::Form(runtime, &ExitWarning::definition), schedule_(schedule), session_(session), windows_(windows) {}

ui::FormDef ExitWarning::definition() {
    using ui::Kind;
    // One control a line, as the window's table reads.
    // clang-format off
    return {
        .name = "EndMessege",
        .caption = "",  // the method word and "確認", set at load
        .clientWidth = 3195,
        .clientHeight = 2475,
        .border = ui::Border::FixedDialog,
        .showInTaskbar = false,
        .startPosition = ui::StartPosition::CentreScreen,
        .icon = ui::Icon::Running,
        .role = ui::Role::Alert,
        .controls = {
            {.kind = Kind::Label, .name = "Label4", .caption = "設定時間が来ました",
             .rect = {120, 120, 1830, 195}, .font = labelFont(), .foreColour = kRed, .tabIndex = 2},
            {.kind = Kind::Label, .name = "Label1", .caption = countdownLine(kCountFrom),
             .rect = {120, 360, 3045, 195}, .font = labelFont(), .foreColour = kRed, .tabIndex = 3,
             .autoSize = true},
            {.kind = Kind::Label, .name = "Label2", .caption = "XXXXXします",
             .rect = {120, 600, 1245, 195}, .font = labelFont(), .foreColour = kRed, .tabIndex = 4,
             .autoSize = true},
            {.kind = Kind::Label, .name = "Label3", .caption = std::to_string(kCountFrom),
             .rect = {0, 960, 3135, 900}, .font = fonts::japanese(fonts::kPMincho, 48, true),
             .foreColour = kBlack,
             .tabIndex = 5, .align = ui::Align::Centre},
            {.kind = Kind::Button, .name = "Command1", .caption = "OK", .rect = {240, 2040, 1215, 375},
             .tabIndex = 0, .isDefault = true},
            {.kind = Kind::Button, .name = "Command2", .caption = "中止", .rect = {1560, 2040, 1215, 375},
             .tabIndex = 1, .isCancel = true},
            {.kind = Kind::Timer, .name = "Timer1", .interval = 1000},
        },
    };
    // clang-format on
}

void ExitWarning::bind() {
    countdownLine_ = &ctl("Label1");
    methodLine_ = &ctl("Label2");
    counter_ = &ctl("Label3");
    ctl("Timer1").onTimer = [this] { countdownTick(); };
    ctl("Command1").onClick = [this] { okClicked(); };
    ctl("Command2").onClick = [this] { abortClicked(); };
}

void ExitWarning::loaded() {
    // The method is kept: a selection made during the countdown must not change what happens at
    // zero from what the window announces.
    forNextDue_ = !pending_;
    if (pending_) {
        method_ = std::move(pending_->method);
        line_ = pending_->line;
        entry_ = std::move(pending_->entry);
        userReturned_ = std::move(pending_->userReturned);
        pending_.reset();
    } else {
        method_ = schedule_.nextDue().method;
        line_ = schedule_.nextDue().line;
        entry_ = schedule_.nextDue().entry;
        userReturned_ = {};
    }
    remaining_ = kCountFrom;
    // A method the table knows is announced in its own words; any other word as it stands.
    if (method_.method) {
        setCaption(std::string(infoOf(*method_.method).warningTitle));
        methodLine_->setCaption(std::string(infoOf(*method_.method).warningLine));
    } else {
        setCaption(method_.word + std::string(kConfirmSuffix));
        methodLine_->setCaption(method_.word + std::string(kWillDoSuffix));
    }
    countdownLine_->setCaption(countdownLine(kCountFrom));
    counter_->setCaption(std::to_string(kCountFrom));
    counter_->setForeColour(kBlack);
    disableCloseCommand();
}

void ExitWarning::warnFor(WarningCause cause) {
    if (isLoaded()) return;
    pending_ = std::move(cause);
    show();
}

void ExitWarning::countdownTick() {
    if (userReturned_ && userReturned_()) {
        abortClicked();
        return;
    }
    if (remaining_ == 0) {
        requestSessionEnd();
        return;
    }
    --remaining_;
    counter_->setCaption(std::to_string(remaining_));
    if (remaining_ >= 1 && remaining_ <= static_cast<int>(kCountColours.size()))
        counter_->setForeColour(kCountColours[static_cast<std::size_t>(remaining_ - 1)]);
}

void ExitWarning::requestSessionEnd() {
    // A word that names none of the methods (or none at all) never ends the session. The warning
    // closes, says which entry it was, and the schedule goes on with the entries after it.
    if (!method_.method) {
        unload();
        schedule_.selectNextDue();
        runtime().messageBox(std::to_string(line_) + "行目の予定「" + entry_ + "」" + std::string(kNoMethodSuffix),
                             std::string(texts::kProgramTitle));
        return;
    }
    const Status result = session_.end(requestOf(*method_.method));
    if (result.ok && endsSession(*method_.method)) {
        windows_.endProgram();
        return;
    }
    if (result.ok) {
        // Asleep, hibernated or locked, the program stays; it goes on with the next entry, and
        // one whose second passes while the machine sleeps is missed, not fired late.
        unload();
        schedule_.selectNextDue();
        return;
    }
    // The OS said no: the program stays resident and looks for the next entry.
    std::string text = method_.word + std::string(kRefusedSuffix);
    if (!result.message.empty()) text += "\n" + result.message;
    unload();
    schedule_.selectNextDue();
    runtime().messageBox(text, std::string(texts::kProgramTitle));
}

void ExitWarning::okClicked() {
    hide();  // the countdown goes on unseen
}

void ExitWarning::abortClicked() {
    // An abort within the due second must not find the same entry again. The choice after it
    // also lets the tray look again for what waited while the warning was open.
    schedule_.selectNextDue(forNextDue_ ? Schedule::Passing::UpToNow : Schedule::Passing::BeforeNow);
    unload();
}

}  // namespace qm
