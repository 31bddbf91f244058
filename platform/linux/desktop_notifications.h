// The desktop's notification service (org.freedesktop.Notifications on the session bus).
#pragma once

#include <string>

namespace qm::linux_desktop {

// Sends a notice to the desktop's notification service without waiting for its answer; false when
// no service is on the session bus, so that the caller can show the notice another way.
bool sendDesktopNotification(const std::string& title, const std::string& text);

}  // namespace qm::linux_desktop
