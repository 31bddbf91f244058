// The folder watcher on Windows. Not watching yet: the program notices outside changes only when
// it reads the schedule for other reasons.
#include "platform/win32/services.h"

namespace qm::win32 {

namespace {

class UnwatchedFolder final : public FolderWatcher {
public:
    bool watch(const std::string&, const std::string&, std::function<void()>) override { return false; }
};

}  // namespace

std::unique_ptr<FolderWatcher> makeFolderWatcher() { return std::make_unique<UnwatchedFolder>(); }

}  // namespace qm::win32
