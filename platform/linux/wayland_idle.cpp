// The idle source from Wayland's ext-idle-notify-v1: a notification after a second without input
// (idled) and again at the next input (resumed), on a connection of its own to the compositor,
// read when the event loop finds it readable.
#include <wayland-client.h>

#include <QSocketNotifier>
#include <string_view>

#include "ext-idle-notify-v1-client-protocol.h"
#include "platform/linux/session_idle.h"

namespace qm::linux_desktop {
namespace {

using Clock = std::chrono::steady_clock;
// The shortest wait the notification can be given that still leaves a typist "active".
constexpr std::chrono::milliseconds kIdleAfter{1000};

struct Globals {
    ext_idle_notifier_v1* notifier = nullptr;
    wl_seat* seat = nullptr;
};

void announced(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* globals = static_cast<Globals*>(data);
    if (std::string_view(interface) == ext_idle_notifier_v1_interface.name && !globals->notifier)
        globals->notifier = static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
    else if (std::string_view(interface) == wl_seat_interface.name && !globals->seat)
        globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}

void withdrawn(void*, wl_registry*, uint32_t) {}

constexpr wl_registry_listener kRegistryListener{.global = announced, .global_remove = withdrawn};

class WaylandIdle final : public IdleSource {
public:
    WaylandIdle(wl_display* display, Globals globals) : display_(display), globals_(globals) {
        notification_ = ext_idle_notifier_v1_get_idle_notification(
            globals_.notifier, static_cast<uint32_t>(kIdleAfter.count()), globals_.seat);
        ext_idle_notification_v1_add_listener(notification_, &kListener, this);
        wl_display_flush(display_);
        reader_ = std::make_unique<QSocketNotifier>(wl_display_get_fd(display_), QSocketNotifier::Read);
        QObject::connect(reader_.get(), &QSocketNotifier::activated, [this] { readable(); });
    }
    ~WaylandIdle() override {
        reader_.reset();
        ext_idle_notification_v1_destroy(notification_);
        ext_idle_notifier_v1_destroy(globals_.notifier);
        wl_seat_destroy(globals_.seat);
        wl_display_disconnect(display_);
    }
    WaylandIdle(const WaylandIdle&) = delete;
    WaylandIdle& operator=(const WaylandIdle&) = delete;

    std::optional<std::chrono::seconds> idleTime() override {
        if (lost_) return std::nullopt;
        if (!idledAt_) return std::chrono::seconds(0);
        return std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - *idledAt_ + kIdleAfter);
    }

private:
    void readable() {
        if (wl_display_dispatch(display_) >= 0) return;
        lost_ = true;  // the compositor went away
        reader_->setEnabled(false);
    }

    static void idled(void* data, ext_idle_notification_v1*) {
        static_cast<WaylandIdle*>(data)->idledAt_ = Clock::now();
    }
    static void resumed(void* data, ext_idle_notification_v1*) {
        static_cast<WaylandIdle*>(data)->idledAt_.reset();
    }
    static constexpr ext_idle_notification_v1_listener kListener{.idled = idled, .resumed = resumed};

    wl_display* display_;
    Globals globals_;
    ext_idle_notification_v1* notification_ = nullptr;
    std::unique_ptr<QSocketNotifier> reader_;
    std::optional<Clock::time_point> idledAt_;
    bool lost_ = false;
};

}  // namespace

std::unique_ptr<IdleSource> makeWaylandIdle() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return nullptr;
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &globals);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    if (globals.notifier && globals.seat) return std::make_unique<WaylandIdle>(display, globals);
    if (globals.notifier) ext_idle_notifier_v1_destroy(globals.notifier);
    if (globals.seat) wl_seat_destroy(globals.seat);
    wl_display_disconnect(display);
    return nullptr;
}

}  // namespace qm::linux_desktop
