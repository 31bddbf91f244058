// The startup shortcut service: an entry that starts the program when the user logs on.
#pragma once

#include <string>

#include "platform/file_system.h"  // Status

namespace qm {

class StartupShortcut {
public:
    virtual ~StartupShortcut() = default;
    // Makes the entry `name` that starts `program` with `arguments`, in the user's own startup
    // folder as the platform finds it; made again, it replaces the one before. A failure comes
    // back with the reason.
    virtual Status create(const std::string& name, const std::string& program, const std::string& arguments) = 0;
};

}  // namespace qm
