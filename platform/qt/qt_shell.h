// Opening documents on a Linux desktop: QDesktopServices hands addresses to the browser and
// local files, as file URLs, to the program the desktop registers for their type.
#pragma once

#include <QUrl>

#include "platform/shell.h"

namespace qm::qt {

// An address with a scheme ("https://…", "mailto:…") stays as it is; anything else is a local path.
QUrl documentUrl(const std::string& document);

class QtShell final : public Shell {
public:
    std::uintptr_t desktopWindow() const override { return 0; }  // no desktop window to own the call
    // Only "open" is known. Returns 42 when the desktop took the document and 2 (file not found)
    // otherwise, in the manner of ShellExecute's results above and below 32.
    std::intptr_t open(std::uintptr_t owner, const std::string& verb, const std::string& document,
                       const std::optional<std::string>& parameters, const std::string& folder,
                       int showCommand) override;
};

}  // namespace qm::qt
