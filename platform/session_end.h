// The session-end service: asks the OS to end the user's session.
#pragma once

#include "platform/file_system.h"  // Status

namespace qm {

// uFlags values of the request.
inline constexpr unsigned kEwxLogoff = 0;
inline constexpr unsigned kEwxShutdown = 1;
inline constexpr unsigned kEwxReboot = 2;
inline constexpr unsigned kEwxForce = 4;

class SessionEnd {
public:
    virtual ~SessionEnd() = default;
    // Makes the request; a refusal comes back with the OS's reason.
    virtual Status endSession(unsigned flags) = 0;
};

}  // namespace qm
