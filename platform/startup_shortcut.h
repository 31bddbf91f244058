// The startup shortcut service: a link to the program that starts it when the user logs on.
#pragma once

#include <string>

namespace qm {

class StartupShortcut {
public:
    virtual ~StartupShortcut() = default;
    // `folder` is the Startup folder relative to the Start menu's Programs folder, as a Japanese
    // Windows names it; implementations may find the Startup folder by the platform's own means.
    virtual int create(const std::string& folder, const std::string& name, const std::string& target,
                       const std::string& arguments) = 0;
};

}  // namespace qm
