// The real-time alarm: a synchronisation timer (reset as it releases the waiter), armed with the
// UTC instant of a local moment.
#include "platform/win32/real_time_alarm.h"

#include "platform/win32/real_time.h"

namespace qm::win32 {

RealTimeAlarm::RealTimeAlarm(HWND window, UINT message, WPARAM id)
    : window_(window),
      message_(message),
      id_(id),
      timer_(CreateWaitableTimerW(nullptr, FALSE, nullptr)),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (timer_ && stop_) waiter_ = std::thread([this] { wait(); });
}

RealTimeAlarm::~RealTimeAlarm() {
    if (waiter_.joinable()) {
        SetEvent(stop_);
        waiter_.join();
    }
    if (timer_) CloseHandle(timer_);
    if (stop_) CloseHandle(stop_);
}

void RealTimeAlarm::set(LocalTime at) {
    const FILETIME due = realTimeOf(at);
    LARGE_INTEGER when{};
    when.LowPart = due.dwLowDateTime;
    when.HighPart = static_cast<LONG>(due.dwHighDateTime);  // positive: an absolute time
    if (!waiter_.joinable() || !SetWaitableTimer(timer_, &when, 0, nullptr, nullptr, FALSE)) {
        // Without the alarm the window would sleep for ever: it rings now and is set again.
        PostMessageW(window_, message_, id_, 0);
    }
}

void RealTimeAlarm::cancel() {
    if (timer_) CancelWaitableTimer(timer_);
}

void RealTimeAlarm::wait() {
    const HANDLE handles[] = {stop_, timer_};
    while (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        PostMessageW(window_, message_, id_, 0);
    }
}

}  // namespace qm::win32
