// Whether the Wayland compositor draws windows' frames. Qt asks for the compositor's frame where
// the compositor offers one (xdg-decoration: KDE, Sway); elsewhere (GNOME, Weston) Qt draws a
// frame of its own, with minimise and maximise buttons whatever the window's hints.
#pragma once

namespace qm::linux_desktop {

// True when the compositor of WAYLAND_DISPLAY offers xdg-decoration; false without one, or with
// no compositor to ask.
bool compositorDrawsFrames();

}  // namespace qm::linux_desktop
