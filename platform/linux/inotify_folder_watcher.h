// The folder watcher on the Linux desktop: inotify on the folder, read when the event loop finds it
// readable, and a short settle after the first change of a burst. Where the schedule is a link,
// the folder of the file it leads to is watched as well, so the file is seen coming back after it
// was removed.
#pragma once

#include <memory>
#include <string>

#include "platform/folder_watcher.h"

class QSocketNotifier;
class QTimer;

namespace qm::linux_desktop {

class InotifyFolderWatcher final : public FolderWatcher {
public:
    InotifyFolderWatcher();
    ~InotifyFolderWatcher() override;

    bool watch(const std::string& folder, const std::string& fileName,
               std::function<void()> changed) override;
    void reportAgain() override;

private:
    void stop();
    void readEvents();
    void settled();
    void followLink();

    int inotify_ = -1;
    int folderWatch_ = -1;
    int targetWatch_ = -1;  // the folder of the file a link named fileName leads to
    std::string folder_, fileName_;
    std::string targetName_;  // that file's name
    std::function<void()> changed_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unique_ptr<QTimer> settle_;
};

}  // namespace qm::linux_desktop
