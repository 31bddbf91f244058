// The settings window's third-tab buttons that reach outside the program: the Startup shortcut,
// the About window and the help page.
#include <string_view>

#include "app/program.h"
#include "forms/TimeDateSet.h"
#include "forms/texts.h"

namespace qm {

namespace {

// The Startup folder as a Japanese Windows names it, relative to the Start menu's Programs folder.
inline constexpr std::string_view kStartupFolder = "..\\..\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ｽﾀｰﾄｱｯﾌﾟ";
inline constexpr std::string_view kShortcutName = "QuietusMachine";

inline constexpr std::string_view kHelpPage = "Help/Help.htm";
inline constexpr std::string_view kHelpPageName = "Help.htm";
inline constexpr std::string_view kReadme = "Readme.txt";

}  // namespace

void TimeDateSet::Command4_Click() {
    // The target's name is fixed, whatever the running file is called. The result is not shown.
    const ProgramFolder& folder = program_.services.folder;
    program_.services.shortcut.create(std::string(kStartupFolder), std::string(kShortcutName),
                                      folder.path(folder.executable), "");
}

void TimeDateSet::Command6_Click() {
    program_.about.show();
}

void TimeDateSet::Command7_Click() {
    // Only a help page stored as exactly "Help.htm" counts; otherwise the read-me, unlooked-for.
    const ProgramFolder& folder = program_.services.folder;
    const std::string helpPath = folder.path(kHelpPage);
    const std::optional<std::string> found = program_.services.files.lookUpName(helpPath);
    const std::string document = (found && *found == kHelpPageName) ? helpPath : folder.path(kReadme);
    Shell& shell = program_.services.shell;
    shell.open(shell.desktopWindow(), "open", document, std::string(), "", kSwShow);
}

}  // namespace qm
