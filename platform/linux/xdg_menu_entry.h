// The program's entry in the desktop's application menu, written when the user asks for it
// (`quietus --install-desktop-entry`): $XDG_DATA_HOME/applications/QuietusMachine.desktop
// (~/.local/share/applications by default), which starts the program where it is, and the
// traffic-light icon in the hicolor icon theme beside it. The schedule stays beside the program.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

namespace qm::linux_desktop {

// $XDG_DATA_HOME, or $HOME/.local/share when it is unset or not absolute.
QString dataHome();
// The entry's text for the program file at `programPath`.
std::string menuEntry(const std::string& programPath);
// Whether Exec can name the program file at `programPath` (its bytes): a value of the entry is
// UTF-8, so a path that is not, or none, cannot be written there.
bool fitsExec(const std::string& programPath);

struct MenuEntryFiles {
    QStringList written;  // every file written, the entry first
    QString failed;       // the file that could not be written; empty when all were
};
// Writes the entry and the icons, replacing earlier ones; `programPath` must fit Exec.
MenuEntryFiles installMenuEntry(const std::string& programPath);

}  // namespace qm::linux_desktop
