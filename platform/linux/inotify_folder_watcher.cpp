// The folder watcher on the Linux desktop. The folder is watched rather than the file, which may be
// replaced by a rename or not be there yet; inotify names the entry each event is about.
#include "platform/linux/inotify_folder_watcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string_view>

namespace qm::linux_desktop {

namespace {

// Written (every write, and the writer's close), attributes (made readable), made, removed, renamed
// either way; the folder itself removed or moved.
constexpr std::uint32_t kFolderEvents = IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_CREATE | IN_DELETE |
                                        IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                                        IN_ONLYDIR;
// A link may lead through other links: this many are followed.
constexpr int kLinksFollowed = 8;
// An editor's save is a burst (a temporary file, renames, writes): one call for it, soon after.
constexpr int kSettleMilliseconds = 100;

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

}  // namespace

InotifyFolderWatcher::InotifyFolderWatcher() = default;

InotifyFolderWatcher::~InotifyFolderWatcher() {
    stop();
}

bool InotifyFolderWatcher::watch(const std::string& folder, const std::string& fileName,
                            std::function<void()> changed) {
    stop();
    changed_ = std::move(changed);
    fileName_ = fileName;
    folder_ = folder;
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0) return false;
    folderWatch_ = inotify_add_watch(inotify_, folder.c_str(), kFolderEvents);
    if (folderWatch_ < 0) {
        stop();
        return false;
    }
    followLink();
    notifier_ = std::make_unique<QSocketNotifier>(inotify_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readEvents(); });
    if (!settle_) {
        settle_ = std::make_unique<QTimer>();
        settle_->setSingleShot(true);
        settle_->setInterval(kSettleMilliseconds);
        QObject::connect(settle_.get(), &QTimer::timeout, [this] { settled(); });
    }
    return true;
}

void InotifyFolderWatcher::stop() {
    notifier_.reset();
    if (settle_) settle_->stop();
    if (inotify_ >= 0) close(inotify_);  // and every watch on it
    inotify_ = folderWatch_ = targetWatch_ = -1;
    targetName_.clear();
}

void InotifyFolderWatcher::reportAgain() {
    if (settle_ && inotify_ >= 0 && !settle_->isActive()) settle_->start();
}

void InotifyFolderWatcher::readEvents() {
    alignas(inotify_event) char buffer[16 * 1024];
    bool concerned = false;
    ssize_t n;
    while ((n = read(inotify_, buffer, sizeof buffer)) > 0) {
        for (ssize_t offset = 0; offset < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            // Events without a name are a folder's own (removed, moved); an overflow lost some that
            // may have named the file.
            if (event->mask & IN_IGNORED) continue;
            const std::string_view name(event->name, strnlen(event->name, event->len));
            concerned = concerned || event->len == 0 || (event->mask & IN_Q_OVERFLOW) ||
                        (event->wd == folderWatch_ && sameName(name, fileName_)) ||
                        (event->wd == targetWatch_ && name == targetName_);
        }
    }
    if (concerned && !settle_->isActive()) settle_->start();
}

void InotifyFolderWatcher::settled() {
    followLink();  // the link may lead elsewhere now, or be a link no more
    // A copy: the call may watch again, which replaces changed_.
    if (const auto changed = changed_) changed();
}

void InotifyFolderWatcher::followLink() {
    namespace fs = std::filesystem;
    // The name in any case, as the schedule is looked up.
    std::error_code error;
    fs::path file;
    for (const auto& entry : fs::directory_iterator(folder_, error)) {
        if (sameName(entry.path().filename().native(), fileName_) && entry.is_symlink(error)) file = entry.path();
    }
    // Where the link leads, followed by hand so that a link whose file is gone still names it.
    for (int i = 0; i < kLinksFollowed && !file.empty() && fs::is_symlink(fs::symlink_status(file, error)); ++i) {
        const fs::path to = fs::read_symlink(file, error);
        if (error) break;
        file = to.is_absolute() ? to : file.parent_path() / to;
    }
    const bool link = !file.empty();
    const fs::path targetFolder = link ? fs::weakly_canonical(file.parent_path(), error) : fs::path();
    // The program's own folder is watched already, with the same events.
    const int watch = link && !error ? inotify_add_watch(inotify_, targetFolder.c_str(), kFolderEvents) : -1;
    if (targetWatch_ >= 0 && targetWatch_ != watch && targetWatch_ != folderWatch_)
        inotify_rm_watch(inotify_, targetWatch_);
    targetWatch_ = watch;
    targetName_ = watch >= 0 ? file.filename().native() : std::string();
}

}  // namespace qm::linux_desktop
