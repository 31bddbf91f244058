// What a window may ask of the program about the other windows: to show them, and to end the
// program. The program implements it; windows never reach one another's controls.
#pragma once

#include <chrono>
#include <string>

#include "platform/clock.h"

namespace qm {

class Windows {
public:
    virtual ~Windows() = default;
    virtual void showSettings() = 0;
    // The tray menu centres the About window on the screen each time; the settings window's
    // button leaves it where it is.
    virtual void showAbout(bool centred) = 0;
    virtual void showWarning() = 0;
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
