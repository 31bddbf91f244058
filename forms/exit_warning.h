// The exit warning: names the method about to be carried out, counts down from 30 and then asks
// the OS to end the session. "OK" hides it, "中止" aborts; nothing else closes it.
#pragma once

#include <functional>
#include <optional>

#include "forms/windows.h"
#include "platform/session_end.h"
#include "platform/ui/form.h"
#include "schedule/next_due.h"

namespace qm {

class ExitWarning final : public ui::Form {
public:
    ExitWarning(ui::Runtime& runtime, Schedule& schedule, SessionEnd& session, Windows& windows);
    static ui::FormDef definition();

    // Opens the warning for `cause` instead of the schedule's next entry; nothing when it is open.
    void warnFor(WarningCause cause);

    // The method read at load: the one the texts announce and the request at zero uses.
    const MethodWord& method() const { return method_; }
    // Seconds left on the count.
    int remaining() const { return remaining_; }

private:
    void bind() override;
    void loaded() override;
    void closeRequested() override {}  // the Close command is greyed: only the two buttons close it
    void countdownTick();
    void okClicked();
    void abortClicked();

    void requestSessionEnd();

    Schedule& schedule_;
    SessionEnd& session_;
    Windows& windows_;

    ui::Control* countdownLine_ = nullptr;
    ui::Control* methodLine_ = nullptr;
    ui::Control* counter_ = nullptr;

    std::optional<WarningCause> pending_;  // for the next load
    std::function<bool()> userReturned_;   // of the cause it opened for, if any
    bool forNextDue_ = true;
    MethodWord method_;
    std::size_t line_ = 0;
    std::string entry_;
    int remaining_ = kCountFrom;
    static constexpr int kCountFrom = 30;
};

}  // namespace qm
