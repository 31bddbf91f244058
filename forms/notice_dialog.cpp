// The notice's choices: the definition, 今回は中止, 10分延期 and キャンセル. A choice made once the
// occurrence fired or went by changes nothing; the window closes either way.
#include "forms/notice_dialog.h"

#include "forms/texts.h"

namespace qm {

NoticeDialog::NoticeDialog(ui::Runtime& runtime, Schedule& schedule)
    : ui::Form(runtime, &NoticeDialog::definition), schedule_(schedule) {}

ui::FormDef NoticeDialog::definition() {
    using ui::Kind;
    // One control a line, as the window's table reads. キャンセル comes first in the tab order, so
    // that Enter pressed by chance as the window opens changes nothing.
    // clang-format off
    return {
        .name = "NoticeChoice",
        .caption = std::string(texts::kProgramTitle),
        .clientWidth = 4815,
        .clientHeight = 1110,
        .border = ui::Border::FixedDialog,
        .showInTaskbar = true,
        .startPosition = ui::StartPosition::CentreScreen,
        .icon = ui::Icon::Running,
        .controls = {
            {.kind = Kind::Label, .name = "Label1", .caption = "５分後にシャットダウンします。",  // the notice's, set at open
             .rect = {120, 120, 4575, 255}, .font = fonts::japanese(fonts::kPGothic, 9.75, false), .tabIndex = 3},
            {.kind = Kind::Button, .name = "Command1", .caption = std::string(texts::kSkipChoice),
             .rect = {120, 600, 1455, 375}, .tabIndex = 1},
            {.kind = Kind::Button, .name = "Command2", .caption = std::string(texts::kPostponeChoice),
             .rect = {1680, 600, 1455, 375}, .tabIndex = 2},
            {.kind = Kind::Button, .name = "Command3", .caption = "キャンセル",
             .rect = {3240, 600, 1455, 375}, .tabIndex = 0, .isCancel = true},
        },
    };
    // clang-format on
}

void NoticeDialog::bind() {
    noticeLabel_ = &ctl("Label1");
    ctl("Command1").onClick = [this] { skipClicked(); };
    ctl("Command2").onClick = [this] { postponeClicked(); };
    ctl("Command3").onClick = [this] { unload(); };
}

void NoticeDialog::openFor(const std::string& text, LocalTime occurrence) {
    load();
    occurrence_ = occurrence;
    noticeLabel_->setCaption(text);
    show();
}

void NoticeDialog::skipClicked() {
    schedule_.skip(occurrence_);
    unload();
}

void NoticeDialog::postponeClicked() {
    schedule_.postpone(occurrence_, std::chrono::minutes{texts::kPostponeMinutes});
    unload();
}

}  // namespace qm
