// The session-end service: asks the OS to end the user's session as an exit method requests.
#pragma once

#include "platform/file_system.h"  // Status
#include "schedule/exit_method.h"

namespace qm {

class SessionEnd {
public:
    virtual ~SessionEnd() = default;
    // Makes the request; a refusal comes back with the OS's reason.
    virtual Status end(SessionRequest request) = 0;
};

}  // namespace qm
