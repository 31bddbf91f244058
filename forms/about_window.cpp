// The About window: its definition and the home-page link. It runs nothing when it loads and
// closes through its close box.
#include "forms/about_window.h"

#include <optional>
#include <string>


namespace qm {

AboutWindow::AboutWindow(ui::Runtime& runtime, Shell& shell) : ui::Form(runtime, &AboutWindow::definition), shell_(shell) {}

ui::FormDef AboutWindow::definition() {
    using ui::Kind;
    // One control a line, as the window's table reads.
    // clang-format off
    return {
        .name = "About",
        .caption = "バージョン情報",
        .clientWidth = 5295,
        .clientHeight = 2730,
        .border = ui::Border::FixedSingle,
        .showInTaskbar = true,
        .startPosition = ui::StartPosition::CentreScreen,
        .icon = ui::Icon::Running,
        .controls = {
            {.kind = Kind::Label, .name = "Label4", .caption = std::string(kProductLine),
             .rect = {120, 45, 5070, 360},
             .font = ui::Font{.face = "Times New Roman", .points = 14.25}, .tabIndex = 3,
             .align = ui::Align::Centre},
            {.kind = Kind::Label, .name = "Label5", .caption = std::string(kHomePage),
             .rect = {120, 1080, 5175, 255},
             .font = ui::Font{.face = "MS Sans Serif", .points = 9.75, .bold = true},
             .foreColour = 0x00FF0000,
             .tooltip = "CobaltfenwickのＨＰに行く", .tabIndex = 4, .align = ui::Align::Centre, .link = true},
            {.kind = Kind::Line, .name = "Line1", .rect = {120, 1440, 5040, 0}},
            {.kind = Kind::Image, .name = "Image1", .rect = {120, 2040, 480, 480}, .icon = ui::Icon::Running},
        },
    };
    // clang-format on
}

void AboutWindow::bind() {
    homePageLink_ = &ctl("Label5");
    homePageLink_->onClick = [this] { homePageClicked(); };
}

void AboutWindow::homePageClicked() {
    // The label's own text is the address; no parameters at all.
    shell_.open(homePageLink_->caption(), std::nullopt);
}

}  // namespace qm
