// The folder watcher on the Linux desktop. Not watching yet: the program notices outside changes
// only when it reads the schedule for other reasons.
#include "platform/qt/qt_folder_watcher.h"

namespace qm::qt {

bool QtFolderWatcher::watch(const std::string&, const std::string&, std::function<void()>) { return false; }

}  // namespace qm::qt
