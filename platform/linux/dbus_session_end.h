// Ending the session on a Linux desktop over D-Bus. Log off, shut down and restart are asked of
// the desktop's session manager when one owns its name on the session bus, so that applications
// may save their work or object: KDE Plasma's org.kde.Shutdown; org.gnome.SessionManager, the name
// GNOME's, MATE's and Cinnamon's session managers answer to; XFCE's org.xfce.SessionManager; and
// org.cinnamon.SessionManager of older Cinnamon. Where none runs, systemd-logind on the system bus
// does it. The forced exit goes to logind at once, and so do sleep and hibernation (after logind
// says the machine can) and locking the program's own session.
#pragma once

#include "platform/session_end.h"

namespace qm::linux_desktop {

// The session managers looked for, in the order they are looked for.
enum class SessionManager { None, Kde, Gnome, Xfce, Cinnamon };

class DbusSessionEnd final : public SessionEnd {
public:
    Status end(SessionRequest request) override;

    // The first session manager that owns its name on the session bus now, if any.
    static SessionManager sessionManager();
};

}  // namespace qm::linux_desktop
