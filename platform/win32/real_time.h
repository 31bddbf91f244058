// Local wall-clock time and the system's real-time clock on Windows, both ways: the clock service
// reads one through the other, and a timer set for a local moment waits for the UTC instant that
// shows it.
#pragma once

#include <windows.h>

#include "platform/clock.h"

namespace qm::win32 {

// The local second that the UTC instant `utc` shows, in the time zone in force.
LocalTime localTimeOf(const FILETIME& utc);
// The system time, read precisely where Windows can (Windows 8 and later), as a waitable timer
// compares it.
FILETIME realTimeNow();
// The UTC instant at which the local wall clock shows `at`.
FILETIME realTimeOf(LocalTime at);

}  // namespace qm::win32
