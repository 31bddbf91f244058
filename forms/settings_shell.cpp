// The settings window's third-tab buttons that reach outside the program: the Startup shortcut,
// the About window and the help page.
#include <string_view>

#include "forms/settings_window.h"

namespace qm {

namespace {

inline constexpr std::string_view kShortcutName = "QuietusMachine";

inline constexpr std::string_view kHelpPage = "Help/Help.htm";
inline constexpr std::string_view kHelpPageName = "Help.htm";
inline constexpr std::string_view kReadme = "Readme.txt";

}  // namespace

void SettingsWindow::startupClicked() {
    // The target's name is fixed, whatever the running file is called. The result is not shown.
    n_.shortcut.create(std::string(kShortcutName), n_.folder.path(n_.folder.executable), "");
}

void SettingsWindow::aboutClicked() { n_.windows.showAbout(false); }

void SettingsWindow::helpClicked() {
    // Only a help page stored as exactly "Help.htm" counts; otherwise the read-me, unlooked-for.
    const std::string helpPath = n_.folder.documentPath(kHelpPage);
    const std::optional<std::string> found = n_.files.lookUpName(helpPath);
    const std::string document = (found && *found == kHelpPageName) ? helpPath : n_.folder.documentPath(kReadme);
    n_.shell.open(document, std::string());
}

}  // namespace qm
