// The single-instance service: whether another copy of the program already runs for this user.
#pragma once

namespace qm {

class SingleInstance {
public:
    virtual ~SingleInstance() = default;
    // The first call claims the program for this process; later calls give the same answer.
    virtual bool anotherRunning() = 0;
};

}  // namespace qm
