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
    // The desktop takes no parameters for a document; they are left aside.
    bool open(const std::string& document, const std::optional<std::string>& parameters) override;
};

}  // namespace qm::qt
