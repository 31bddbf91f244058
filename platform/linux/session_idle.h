// The idle source on the Linux desktop: how long the user of this session has made no input,
// from the first of these that works here, tried in this order once:
// 1. logind's IdleHint of this process's session, where the desktop sets it (KDE, GNOME, the
//    screen lockers that speak to logind). A desktop that never does leaves the hint false and
//    its time zero, which is how it is told apart: then the next source is tried. Where it is
//    used, a false hint reads as input just now and a true one as idle since the hint's time;
//    desktops set it only after an idle delay of their own (GNOME's blank-screen delay, 5 minutes
//    unless changed), so the idle time counts from there.
// 2. The X11 screensaver extension, the X server's own count since the last input; not on a
//    Wayland session (WAYLAND_DISPLAY set), where an X server sees only its own clients' input.
// 3. Wayland's ext-idle-notify-v1, where the compositor offers it (wlroots compositors, KDE):
//    told when a second has passed without input and when input comes again. The compositor
//    holds it back while a client inhibits idleness (a video playing), as it does its screen
//    blanking.
// While none works the next read tries all three again.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "platform/idle_source.h"

namespace qm::linux_desktop {

// Each source as it is tried: none where it cannot work on this desktop.
std::unique_ptr<IdleSource> makeLogindIdle();
std::unique_ptr<IdleSource> makeX11Idle();
std::unique_ptr<IdleSource> makeWaylandIdle();

class SessionIdleSource final : public IdleSource {
public:
    // `chosen` hears the name of the source once it is chosen ("logind", "X11", "Wayland").
    explicit SessionIdleSource(std::function<void(std::string_view)> chosen = {});
    ~SessionIdleSource() override;
    std::optional<std::chrono::seconds> idleTime() override;

private:
    std::function<void(std::string_view)> chosen_;
    std::unique_ptr<IdleSource> source_;
};

}  // namespace qm::linux_desktop
