// The control channel: the running program hears requests from this user's other processes
// (`quietus --pause`, `--status` and the like) and answers each. Requests and answers are UTF-8
// text whose meaning the program gives them; the channel only carries them, one answer a request.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace qm {

class ControlChannel {
public:
    virtual ~ControlChannel() = default;

    using Handler = std::function<std::string(const std::string& request)>;
    // In the running program: requests from processes of the same user (and, on Windows, the same
    // session) go to `handler`, from the event loop, and what it returns goes back as the answer.
    // False when the channel cannot be opened; the program runs on without it.
    virtual bool listen(Handler handler) = 0;
    // In another process: the running program's answer to `request`; none when no program of
    // this user listens (or it did not answer in time).
    virtual std::optional<std::string> send(const std::string& request) = 0;
};

// A channel on which nothing is heard and no program answers.
class NoControlChannel final : public ControlChannel {
public:
    bool listen(Handler) override { return false; }
    std::optional<std::string> send(const std::string&) override { return std::nullopt; }
};

}  // namespace qm
