// The process watch on Linux. Each process is watched through a pidfd (pidfd_open), which turns
// readable when it ends, or, on kernels without pidfds, by a look at /proc every two seconds. A
// name is matched against this user's processes in /proc: their command name (comm, which the
// kernel cuts at 15 bytes) or the file name of their executable. When the last process of the
// name ends, /proc is looked at again: one of that name started meanwhile is waited for in turn,
// and `ended` comes once none is left.
#pragma once

#include <sys/types.h>

#include <memory>
#include <vector>

#include "platform/process_watch.h"

class QSocketNotifier;
class QTimer;

namespace qm::linux_desktop {

// The processes of this user whose comm or executable's file name is `name`.
std::vector<pid_t> processesNamed(const std::string& name);

class ProcProcessWatch final : public ProcessWatch {
public:
    // `pidfds` false looks at /proc instead, as where the kernel has none.
    explicit ProcProcessWatch(bool pidfds = true);
    ~ProcProcessWatch() override;

    bool watch(const std::string& target, std::function<void()> ended) override;
    void cancel() override;

private:
    struct Watched;
    bool watchAll(const std::vector<pid_t>& processes);
    void oneEnded(pid_t process);
    void look();

    bool pidfds_;
    std::string name_;  // empty when watching one process by its id
    std::function<void()> ended_;
    std::vector<std::unique_ptr<Watched>> watched_;
    std::unique_ptr<QTimer> poll_;
};

}  // namespace qm::linux_desktop
