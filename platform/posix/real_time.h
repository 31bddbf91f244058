// Local wall-clock time and the system's real-time clock on POSIX systems, both ways: the clock
// service reads one through the other, and a timer set for a local moment waits on the real-time
// clock for the instant that shows it.
#pragma once

#include <time.h>

#include "platform/clock.h"

namespace qm::posix {

// The local second that the real-time instant `t` shows. A leap second (tm_sec 60) shows as the
// last second of its minute.
LocalTime localTimeOf(const timespec& t);
// The real-time clock, read precisely (CLOCK_REALTIME, never the coarse tick of time()).
timespec realTimeNow();
// The first real-time instant at which the local wall clock shows `at`. A moment that a change to
// daylight-saving time skips maps to an instant after the skip; one the change back shows
// twice maps to its first showing.
timespec realTimeOf(LocalTime at);

}  // namespace qm::posix
