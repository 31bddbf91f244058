// The real-time alarm: one timerfd, armed with an absolute expiry on the clock the program reads.
#include "platform/linux/real_time_alarm.h"

#include <errno.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstdint>

#include "platform/posix/real_time.h"

namespace qm::linux_desktop {

RealTimeAlarm::RealTimeAlarm(std::function<void()> rang, QObject* parent)
    : QObject(parent), rang_(std::move(rang)) {
    fd_ = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ < 0) return;  // no alarm: set() rings at once, as the best that can be done
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { readable(); });
}

RealTimeAlarm::~RealTimeAlarm() {
    notifier_.reset();
    if (fd_ >= 0) ::close(fd_);
}

void RealTimeAlarm::set(LocalTime at) {
    itimerspec when{};
    when.it_value = posix::realTimeOf(at);
    // An expiry of zero would disarm the timer rather than ring it.
    if (when.it_value.tv_sec <= 0) when.it_value = {0, 1};
    if (fd_ < 0 || ::timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr) != 0) {
        // Without the alarm the owner would sleep for ever; it rings now and is set again.
        QMetaObject::invokeMethod(this, [this] { rang_(); }, Qt::QueuedConnection);
    }
}

void RealTimeAlarm::cancel() {
    const itimerspec off{};
    if (fd_ >= 0) ::timerfd_settime(fd_, 0, &off, nullptr);
}

void RealTimeAlarm::readable() {
    // Eight bytes when it expired; ECANCELED when the clock was set: either way it rings.
    std::uint64_t expirations = 0;
    const ssize_t n = ::read(fd_, &expirations, sizeof expirations);
    if (n < 0 && errno != ECANCELED) return;  // EAGAIN: nothing after all
    rang_();
}

}  // namespace qm::linux_desktop
