// The notice's choices in a window: opened by a click on the notice five minutes ahead where the
// desktop could not show its buttons (the Windows balloon, the tray's own message). It skips the
// noticed occurrence, postpones it, or closes with nothing changed.
#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/ui/form.h"
#include "schedule/next_due.h"

namespace qm {

class NoticeDialog final : public ui::Form {
public:
    NoticeDialog(ui::Runtime& runtime, Schedule& schedule);
    static ui::FormDef definition();

    // Opens for the notice `text` about the occurrence due at `occurrence`; an open one takes the
    // latest notice.
    void openFor(const std::string& text, LocalTime occurrence);

private:
    void bind() override;
    void skipClicked();
    void postponeClicked();

    Schedule& schedule_;
    LocalTime occurrence_{};
    ui::Control* noticeLabel_ = nullptr;
};

}  // namespace qm
