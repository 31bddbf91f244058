// The startup shortcut on a Linux desktop: an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/<name>.desktop (~/.config/autostart/ by default).
//
// The program passes the Windows target "<folder>\Quietus.exe" and the Start-menu folder of a
// Japanese Windows; here the entry starts "quietus" in the program folder instead, and the
// autostart folder is the desktop's own. The name and the empty arguments are used as given.
#pragma once

#include <string>

#include "platform/startup_shortcut.h"

namespace qm::qt {

// Exec's value for one program path: quoted as a whole, with the Desktop Entry format's escapes.
std::string execValue(const std::string& path);
std::string desktopEntry(const std::string& name, const std::string& programPath);
// $XDG_CONFIG_HOME/autostart, or $HOME/.config/autostart when it is unset or not absolute.
std::string autostartFolder();

class XdgAutostart final : public StartupShortcut {
public:
    // `programFolder`: the folder of the running program, without a trailing slash.
    explicit XdgAutostart(std::string programFolder) : programFolder_(std::move(programFolder)) {}

    // Writes the entry; 1 when it was written, 0 when not.
    int create(const std::string& folder, const std::string& name, const std::string& target,
               const std::string& arguments) override;

private:
    std::string programFolder_;
};

}  // namespace qm::qt
