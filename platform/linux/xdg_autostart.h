// The startup shortcut on a Linux desktop: an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/<name>.desktop (~/.config/autostart/ by default).
#pragma once

#include <string>

#include "platform/startup_shortcut.h"

namespace qm::linux_desktop {

// Exec's value for one program path: quoted as a whole, with the Desktop Entry format's escapes.
std::string execValue(const std::string& path);
std::string desktopEntry(const std::string& name, const std::string& programPath);
// $XDG_CONFIG_HOME/autostart, or $HOME/.config/autostart when it is unset or not absolute.
std::string autostartFolder();

class XdgAutostart final : public StartupShortcut {
public:
    // Writes the entry. The program is started without arguments, the only way it is started
    // at log-on.
    Status create(const std::string& name, const std::string& program, const std::string& arguments) override;
};

}  // namespace qm::linux_desktop
