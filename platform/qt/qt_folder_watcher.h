// The folder watcher on the Linux desktop.
#pragma once

#include "platform/folder_watcher.h"

namespace qm::qt {

class QtFolderWatcher final : public FolderWatcher {
public:
    bool watch(const std::string& folder, const std::string& fileName, std::function<void()> changed) override;
};

}  // namespace qm::qt
