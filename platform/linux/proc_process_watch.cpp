// The process watch on Linux: pidfds on the event loop, /proc where there are none.
#include "platform/linux/proc_process_watch.h"

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>

namespace qm::linux_desktop {
namespace {

constexpr int kPollMilliseconds = 2000;
constexpr std::string_view kDeleted = " (deleted)";

std::string procPath(pid_t process, const char* entry) {
    return "/proc/" + std::to_string(process) + "/" + entry;
}

// There, and not a zombie that has ended and waits for its parent to hear of it.
bool running(pid_t process) {
    std::string stat;
    std::getline(std::ifstream(procPath(process, "stat")), stat);
    const auto state = stat.rfind(") ");
    return state != std::string::npos && state + 2 < stat.size() && stat[state + 2] != 'Z';
}

std::optional<pid_t> processId(std::string_view text) {
    pid_t process = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), process);
    if (error != std::errc() || end != text.data() + text.size() || process <= 0) return std::nullopt;
    return process;
}

bool named(pid_t process, const std::string& name) {
    std::string comm;
    std::getline(std::ifstream(procPath(process, "comm")), comm);
    if (comm == name) return true;
    // The kernel keeps 15 bytes of the name; the executable's file name is whole.
    std::error_code error;
    std::string exe = std::filesystem::read_symlink(procPath(process, "exe"), error).filename().string();
    if (exe.ends_with(kDeleted)) exe.resize(exe.size() - kDeleted.size());
    return !error && exe == name;
}

}  // namespace

struct ProcProcessWatch::Watched {
    pid_t process;
    int pidfd = -1;  // -1: looked for in /proc
    std::unique_ptr<QSocketNotifier> notifier;
    ~Watched() {
        // It may be the notifier whose signal is being handled: it goes once that has returned.
        if (notifier) {
            notifier->setEnabled(false);
            notifier.release()->deleteLater();
        }
        if (pidfd >= 0) ::close(pidfd);
    }
};

std::vector<pid_t> processesNamed(const std::string& name) {
    std::vector<pid_t> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const auto process = processId(entry.path().filename().native());
        struct stat info {};
        if (!process || *process == getpid() || ::stat(entry.path().c_str(), &info) != 0 ||
            info.st_uid != getuid())
            continue;
        if (running(*process) && named(*process, name)) found.push_back(*process);
    }
    return found;
}

ProcProcessWatch::ProcProcessWatch(bool pidfds) : pidfds_(pidfds) {}
ProcProcessWatch::~ProcProcessWatch() = default;

bool ProcProcessWatch::watch(const std::string& target, std::function<void()> ended) {
    cancel();
    const auto process = processId(target);
    name_ = process ? std::string() : target;
    std::vector<pid_t> processes;
    if (process && running(*process)) processes.push_back(*process);
    if (!process && !target.empty()) processes = processesNamed(target);
    if (!watchAll(processes)) return false;
    ended_ = std::move(ended);
    return true;
}

void ProcProcessWatch::cancel() {
    watched_.clear();
    if (poll_) poll_->stop();
    ended_ = nullptr;
}

bool ProcProcessWatch::watchAll(const std::vector<pid_t>& processes) {
    for (const pid_t process : processes) {
        auto watched = std::make_unique<Watched>(process);
        if (pidfds_) watched->pidfd = static_cast<int>(::syscall(SYS_pidfd_open, process, 0));
        if (watched->pidfd >= 0) {
            watched->notifier = std::make_unique<QSocketNotifier>(watched->pidfd, QSocketNotifier::Read);
            QObject::connect(watched->notifier.get(), &QSocketNotifier::activated,
                             [this, process] { oneEnded(process); });
        } else if (pidfds_ && errno == ESRCH) {
            continue;  // gone already
        } else {
            // ENOSYS (no pidfds in this kernel), or refused: /proc tells as well.
            if (!poll_) {
                poll_ = std::make_unique<QTimer>();
                poll_->setInterval(kPollMilliseconds);
                QObject::connect(poll_.get(), &QTimer::timeout, [this] { look(); });
            }
            poll_->start();
        }
        watched_.push_back(std::move(watched));
    }
    return !watched_.empty();
}

void ProcProcessWatch::look() {
    std::vector<pid_t> gone;
    for (const auto& watched : watched_)
        if (watched->pidfd < 0 && !running(watched->process)) gone.push_back(watched->process);
    for (const pid_t process : gone) oneEnded(process);
}

void ProcProcessWatch::oneEnded(pid_t process) {
    std::erase_if(watched_, [process](const auto& watched) { return watched->process == process; });
    if (!watched_.empty()) return;
    if (poll_) poll_->stop();
    // Another process of the name may have started while these ran: it is waited for too.
    if (!name_.empty() && watchAll(processesNamed(name_))) return;
    const auto ended = std::move(ended_);
    ended_ = nullptr;
    if (ended) ended();
}

}  // namespace qm::linux_desktop
