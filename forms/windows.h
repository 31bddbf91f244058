// What a window may ask of the program about the other windows: to show them, and to end the
// program. The program implements it; windows never reach one another's controls.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "platform/clock.h"
#include "schedule/exit_method.h"

namespace qm {

// Why the warning opens when it is not for the schedule's next entry: an inactivity entry whose
// idle time was reached, or a program waited for that ended.
struct WarningCause {
    MethodWord method;
    std::size_t line = 0;  // the entry's line in the file; 0 for none
    std::string entry;     // the entry, or what was waited for
    // Asked each second of the count: true closes the warning as 中止 does.
    std::function<bool()> userReturned{};
};

class Windows {
public:
    virtual ~Windows() = default;
    virtual void showSettings() = 0;
    // The tray menu centres the About window on the screen each time; the settings window's
    // button leaves it where it is.
    virtual void showAbout(bool centred) = 0;
    virtual void showWarning() = 0;
    // The warning for something other than the next entry; nothing while a warning is open.
    virtual void showWarningFor(WarningCause cause) = 0;
    virtual bool warningOpen() const = 0;
    // The time-of-day dialog for a day picked on the calendar. An open dialog only comes to the
    // front: it keeps the day it opened with.
    virtual void showTimeOfDay(std::chrono::year_month_day day) = 0;
    // The notice's choices in a window, for a notice the desktop showed without them: its text,
    // about the occurrence due at `occurrence`.
    virtual void showNoticeChoices(const std::string& text, LocalTime occurrence) = 0;
    // Ends the program at once; no window is unloaded.
    virtual void endProgram() = 0;
};

}  // namespace qm
