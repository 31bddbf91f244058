// Ending the session on a Linux desktop over D-Bus. Log off, shut down and restart are asked of
// the desktop's session manager when one is on the session bus, so that applications may object
// (KDE Plasma's org.kde.Shutdown; GNOME's org.gnome.SessionManager, which offers log off without
// confirmation but no such shut-down or restart); otherwise systemd-logind on the system bus does
// it. The forced exit goes to logind at once, and so do sleep and hibernation (after logind says
// the machine can) and locking the program's own session.
#pragma once

#include <string>

#include "platform/session_end.h"

namespace qm::qt {

enum class SessionManager { None, Kde, Gnome };

enum class SessionEndCall {
    KdeLogout,
    KdeShutdown,
    KdeReboot,
    GnomeLogout,     // Logout(1): no confirmation
    LogindPowerOff,  // PowerOff(false): not interactive
    LogindReboot,
    LogindTerminate,  // Session.Terminate of the program's own session
    LogindSuspend,    // Suspend(false), once CanSuspend says yes
    LogindHibernate,  // Hibernate(false), once CanHibernate says yes
    LogindLock,       // Session.Lock of the program's own session
};

// Which call ends the session with `method`, given the session manager present.
SessionEndCall sessionEndCall(ExitMethod method, SessionManager manager);

class DbusSessionEnd final : public SessionEnd {
public:
    Status end(ExitMethod method) override;

    // The session manager on the session bus now, if any.
    static SessionManager sessionManager();
    static Status perform(SessionEndCall call);
};

}  // namespace qm::qt
