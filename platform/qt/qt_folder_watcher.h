// The folder watcher on the Linux desktop: inotify on the folder, read when the event loop finds it
// readable, and a short settle after the first change of a burst. Where the schedule is a link,
// the file it leads to is watched as well.
#pragma once

#include <memory>

#include "platform/folder_watcher.h"

class QSocketNotifier;
class QTimer;

namespace qm::qt {

class QtFolderWatcher final : public FolderWatcher {
public:
    QtFolderWatcher();
    ~QtFolderWatcher() override;

    bool watch(const std::string& folder, const std::string& fileName,
               std::function<void()> changed) override;

private:
    void stop();
    void readEvents();
    void settled();
    void followLink();

    int inotify_ = -1;
    int linkTarget_ = -1;  // the watch on the file a link named fileName leads to
    std::string folder_, fileName_;
    std::function<void()> changed_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unique_ptr<QTimer> settle_;
};

}  // namespace qm::qt
