// The tray resident window: its definition, the icon's mouse messages, pause and resume, the due
// check and the popup menu's three commands.
#include "forms/TraySmple.h"

#include <string_view>

#include "app/program.h"

namespace qm {

namespace {

inline constexpr std::string_view kRunningTip = "QuietusMachineは動作中です";
inline constexpr std::string_view kPausedTip = "QuietusMachineは停止中です";

inline constexpr unsigned kIconId = 1;
inline constexpr int kMenuRightButton = 2;  // the menu's items answer the right button as well

// Far outside every screen while resident; less far while the popup menu is open.
inline constexpr int kResidentOffset = -50000;
inline constexpr int kMenuOffset = -5000;

}  // namespace

TraySmple::TraySmple(Program& program) : ui::Form(program.ui, &TraySmple::definition), program_(program) {}

ui::FormDef TraySmple::definition() {
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
        .pixelScale = true,  // the icon's mouse message arrives as the X coordinate, in pixels
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

void TraySmple::bindEvents() {
    ctl("Timer1").onTimer = [this] { Timer1_Timer(); };
    ctl("mnuTimeSet").onClick = [this] { mnuTimeSet_Click(); };
    ctl("ssVER").onClick = [this] { ssVER_Click(); };
    ctl("ssFIN").onClick = [this] { ssFIN_Click(); };
}

TrayIconData TraySmple::iconRecord() const {
    return {
        .window = runtime().backend().windowId(*this),
        .id = kIconId,
        .flags = kNifMessage | kNifIcon | kNifTip,
        .callbackMessage = kWmMouseMove,
        .icon = icon(),
        .tip = tipText_,
    };
}

void TraySmple::Form_Load() {
    // The start-up check normally catches a second copy before this window loads.
    if (program_.services.instance.anotherRunning()) {
        program_.end();
        return;
    }
    paused_ = 0;
    tipText_ = kRunningTip;
    move(kResidentOffset, kResidentOffset);
    setIcon(ctl("Image1").props().icon);
    program_.services.tray.add(iconRecord());  // without a taskbar there is no icon; nothing to do
    program_.schedule.selectNextDue();
}

void TraySmple::Form_Unload() {
    // Only the window and the id name the icon to remove; every other field is empty.
    program_.services.tray.remove({.window = runtime().backend().windowId(*this),
                                   .id = kIconId,
                                   .flags = 0,
                                   .callbackMessage = 0,
                                   .icon = ui::Icon::None,
                                   .tip = ""});
}

void TraySmple::Form_MouseMove(int /*button*/, int /*shift*/, double x, double /*y*/) {
    // The icon's mouse messages arrive here with the message number as X. Only the releases
    // count: pressing a button without releasing it over the icon does nothing.
    if (x == kWmLButtonUp) {
        openMenu();
    } else if (x == kWmRButtonUp) {
        togglePause();
    }
}

void TraySmple::openMenu() {
    move(kMenuOffset, kMenuOffset);
    show();  // the menu needs a shown owner; it stays off-screen
    runtime().backend().doEvents();
    popupMenu(ctl("mnuPopup"), kMenuRightButton, [this] { hide(); });
}

void TraySmple::togglePause() {
    if (paused_ == 0) {
        ctl("Timer1").setEnabled(false);
        setIcon(ctl("Image2").props().icon);
        tipText_ = kPausedTip;
        paused_ = 1;
    } else {
        ctl("Timer1").setEnabled(true);
        // Entries whose second passed during the pause are in the past now and never fire.
        program_.schedule.selectNextDue();
        setIcon(ctl("Image1").props().icon);
        paused_ = 0;
        tipText_ = kRunningTip;
    }
    program_.services.tray.modify(iconRecord());
}

void TraySmple::Timer1_Timer() {
    if (program_.schedule.dueCheck()) program_.endMessege.show();
}

void TraySmple::mnuTimeSet_Click() {
    program_.timeDateSet.show();
}

void TraySmple::ssVER_Click() {
    ui::Form& about = program_.about;
    about.load();
    const ui::Size screen = runtime().backend().screenSize();
    about.move((screen.width - about.width()) / 2, (screen.height - about.height()) / 2);
    about.show();
}

void TraySmple::ssFIN_Click() {
    unload();  // removes the icon first
    program_.end();
}

}  // namespace qm
