// An alarm on the system's real-time clock for a window's timer set for a moment: a waitable
// timer with an absolute due time, which follows changes of the system clock, waited for on a
// thread of its own so that it also rings while a modal loop (a message box, a menu) runs. It
// posts `message` with `id` to the window when it rings.
#pragma once

#include <windows.h>

#include <thread>

#include "platform/clock.h"

namespace qm::win32 {

class RealTimeAlarm {
public:
    RealTimeAlarm(HWND window, UINT message, WPARAM id);
    RealTimeAlarm(const RealTimeAlarm&) = delete;
    RealTimeAlarm& operator=(const RealTimeAlarm&) = delete;
    ~RealTimeAlarm();

    void set(LocalTime at);
    void cancel();

private:
    void wait();

    HWND window_;
    UINT message_;
    WPARAM id_;
    HANDLE timer_ = nullptr;
    HANDLE stop_ = nullptr;
    std::thread waiter_;
};

}  // namespace qm::win32
