// Watching the program's folder for the schedule file changing on disk: written in place,
// replaced by a rename, created or removed, by the user's editor, a script or a deployment tool.
#pragma once

#include <functional>
#include <string>

namespace qm {

class FolderWatcher {
public:
    virtual ~FolderWatcher() = default;
    // From now on, `changed` runs on the UI thread soon after (well within half a second) the file
    // named `fileName` in `folder` was written, replaced, created, renamed away or removed. The
    // name is compared without regard to ASCII case. A burst of changes may give one call, and a
    // call may come for a change that left the file as it was: the caller compares contents.
    // Watching again replaces the earlier watch. False when the folder cannot be watched; the
    // program then notices changes only when it reads the file for other reasons.
    virtual bool watch(const std::string& folder, const std::string& fileName, std::function<void()> changed) = 0;
    // Calls `changed` once more after the settle time, whether or not anything else happens: the
    // caller found the file still changing, and acts on it only once two reads agree.
    virtual void reportAgain() = 0;
};

}  // namespace qm
