// An alarm on Linux's real-time clock for a timer set for a moment: a timerfd on CLOCK_REALTIME
// with an absolute expiry, read when the event loop finds it readable. It rings at the moment,
// however the clock gets there, and early when the clock is set (TFD_TIMER_CANCEL_ON_SET, which
// also covers a resume from sleep), so that its owner reads the clock and sets it again.
#pragma once

#include <functional>
#include <memory>

#include <QObject>

#include "platform/clock.h"

class QSocketNotifier;

namespace qm::linux_desktop {

class RealTimeAlarm final : public QObject {
public:
    RealTimeAlarm(std::function<void()> rang, QObject* parent);
    ~RealTimeAlarm() override;

    void set(LocalTime at);
    void cancel();

private:
    void readable();

    int fd_ = -1;
    std::function<void()> rang_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace qm::linux_desktop
