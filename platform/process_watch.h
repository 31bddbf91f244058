// The process watch: waits for other programs of this user's session to end, one process by its
// id or every process of one name, so that the session can end once a download, a render or a
// backup has finished.
#pragma once

#include <functional>
#include <string>

namespace qm {

class ProcessWatch {
public:
    virtual ~ProcessWatch() = default;
    // `target` is a process id in decimal, or a program's name as the process list shows it (on
    // Windows with or without ".exe", in any case). Calls `ended`, once and from the event loop,
    // when no process of that id or name is left. False, and no call, when none runs now. One
    // watch at a time: a new one replaces the one before.
    virtual bool watch(const std::string& target, std::function<void()> ended) = 0;
    // Stops the watch, if any; `ended` is not called.
    virtual void cancel() = 0;
};

// Sees no process at all.
class NoProcessWatch final : public ProcessWatch {
public:
    bool watch(const std::string&, std::function<void()>) override { return false; }
    void cancel() override {}
};

}  // namespace qm
