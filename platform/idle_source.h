// The idle source: how long the user of this session has made no input (keyboard, pointer,
// touch). Read when the program wakes, never polled: the program sleeps until the idle time it
// waits for could first be reached.
#pragma once

#include <chrono>
#include <optional>

namespace qm {

class IdleSource {
public:
    virtual ~IdleSource() = default;
    // The time since the user's last input, to the second or better; none where no source of it
    // works on this desktop.
    virtual std::optional<std::chrono::seconds> idleTime() = 0;
};

// A desktop that tells nothing of the user's input.
class NoIdleSource final : public IdleSource {
public:
    std::optional<std::chrono::seconds> idleTime() override { return std::nullopt; }
};

}  // namespace qm
