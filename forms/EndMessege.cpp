// The exit warning: its definition, the load step, the countdown with its colours, the request
// at zero, "OK" and "中止".
#include "forms/EndMessege.h"

#include <array>
#include <charconv>
#include <string_view>

#include "app/program.h"
#include "forms/texts.h"
#include "schedule/exit_method.h"

namespace qm {

namespace {

inline constexpr std::string_view kConfirmSuffix = "確認";
inline constexpr std::string_view kCountdownLine = "このまま何もしなければ３０秒後に";
inline constexpr std::string_view kWillDoSuffix = "します。";
// A refused request: the method word, this, then the OS's reason on the next line.
inline constexpr std::string_view kRefusedSuffix = "できませんでした。";

inline constexpr ui::Colour kRed = 0x000000FF;
inline constexpr ui::Colour kBlack = 0x00000000;

// The last nine numbers run from dark grey to red; every other number keeps the colour it has.
struct CountColour {
    std::string_view text;
    ui::Colour colour;
};
inline constexpr std::array<CountColour, 9> kCountColours{{
    {"9", 0x00404040},  // dark grey
    {"8", 0x00808080},  // grey
    {"7", 0x00FF00FF},  // magenta
    {"6", 0x00FF0000},  // blue
    {"5", 0x00FFFF00},  // cyan
    {"4", 0x0000FF00},  // green
    {"3", 0x0000FFFF},  // yellow
    {"2", 0x000080FF},  // orange
    {"1", 0x000000FF},  // red
}};

// The counter's text is the countdown state: its value as a whole number.
int counterValue(std::string_view text) {
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

ui::Font labelFont() {
    return fonts::japanese(fonts::kPGothic, 9.75, true);
}

}  // namespace

EndMessege::EndMessege(Program& program) : ui::Form(program.ui, &EndMessege::definition), program_(program) {}

ui::FormDef EndMessege::definition() {
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
        .controls = {
            {.kind = Kind::Label, .name = "Label4", .caption = "設定時間が来ました",
             .rect = {120, 120, 1830, 195}, .font = labelFont(), .foreColour = kRed, .tabIndex = 2},
            {.kind = Kind::Label, .name = "Label1", .caption = "このまま何もしなければ３０秒後に",
             .rect = {120, 360, 3045, 195}, .font = labelFont(), .foreColour = kRed, .tabIndex = 3,
             .autoSize = true},
            {.kind = Kind::Label, .name = "Label2", .caption = "XXXXXします",
             .rect = {120, 600, 1245, 195}, .font = labelFont(), .foreColour = kRed, .tabIndex = 4,
             .autoSize = true},
            {.kind = Kind::Label, .name = "Label3", .caption = "30",
             .rect = {0, 960, 3135, 900}, .font = fonts::japanese(fonts::kPMincho, 48, true),
             .foreColour = kBlack,
             .tabIndex = 5, .align = ui::Align::Centre},
            {.kind = Kind::Button, .name = "Command1", .caption = "OK", .rect = {240, 2040, 1215, 375},
             .tabIndex = 0},
            {.kind = Kind::Button, .name = "Command2", .caption = "中止", .rect = {1560, 2040, 1215, 375},
             .tabIndex = 1},
            {.kind = Kind::Timer, .name = "Timer1", .interval = 1000},
        },
    };
    // clang-format on
}

void EndMessege::bindEvents() {
    ctl("Timer1").onTimer = [this] { Timer1_Timer(); };
    ctl("Command1").onClick = [this] { Command1_Click(); };
    ctl("Command2").onClick = [this] { Command2_Click(); };
}

void EndMessege::Form_Load() {
    // The word is kept: a selection made during the countdown must not change what happens at
    // zero from what the window announces.
    method_ = program_.schedule.nextDue().method;
    setCaption(method_ + std::string(kConfirmSuffix));
    ctl("Label1").setCaption(std::string(kCountdownLine));
    ctl("Label2").setCaption(method_ + std::string(kWillDoSuffix));
    disableCloseCommand();
}

void EndMessege::Timer1_Timer() {
    ui::Control& counter = ctl("Label3");
    const int value = counterValue(counter.caption());
    if (value != 0) {
        counter.setCaption(std::to_string(value - 1));
        for (const CountColour& c : kCountColours) {
            if (counter.caption() == c.text) counter.setForeColour(c.colour);
        }
        return;
    }
    requestSessionEnd();
}

void EndMessege::requestSessionEnd() {
    // A word that names none of the four methods (or none at all) never ends the session; the
    // window stays at "0" until the user aborts.
    const auto method = methodFromWord(method_);
    if (!method) return;
    const Status result = program_.services.session.endSession(exitFlags(*method));
    if (result.ok) {
        program_.end();
        return;
    }
    // The OS said no: the program stays resident and looks for the next entry.
    std::string text = method_ + std::string(kRefusedSuffix);
    if (!result.message.empty()) text += "\n" + result.message;
    unload();
    program_.schedule.selectNextDue();
    runtime().messageBox(text, std::string(texts::kProgramTitle), ui::kMbOk);
}

void EndMessege::Command1_Click() {
    hide();  // the countdown goes on unseen
}

void EndMessege::Command2_Click() {
    // An abort within the due second must not find the same entry again.
    program_.schedule.selectNextDue(Schedule::Passing::UpToNow);
    unload();
}

}  // namespace qm
