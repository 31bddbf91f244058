// What happens to a watched folder, as a user's editor, a script or a deployment tool does it, and
// whether the watcher of the schedule must report it: one table for every back end's watcher.
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/temp_folder.h"

namespace qm::test {

// Each case starts with another file in the folder, and the schedule file but where it is made.
inline constexpr char kScheduleName[] = "Dtddta.wet";
inline constexpr char kOtherName[] = "other.txt";
// The watcher is given the name in another case than the file has on disk.
inline constexpr char kWatchedName[] = "DTDDTA.wet";

struct FolderChange {
    const char* what;
    void (*make)(const TempFolder& folder);
    bool reported;
    bool scheduleThere = true;  // before the change
};

inline void replaceByRename(const TempFolder& folder, const char* name) {
    folder.write("new.tmp", "new contents\r\n");
    std::filesystem::rename(folder.folder() / "new.tmp", folder.folder() / name);
}

inline const FolderChange kFolderChanges[] = {
    {"the schedule written in place", [](const TempFolder& f) { f.write(kScheduleName, "new contents\r\n"); },
     true},
    {"the schedule replaced by a rename", [](const TempFolder& f) { replaceByRename(f, kScheduleName); },
     true},
    {"the schedule removed", [](const TempFolder& f) { std::filesystem::remove(f.folder() / kScheduleName); },
     true},
    {"the schedule renamed away",
     [](const TempFolder& f) {
         std::filesystem::rename(f.folder() / kScheduleName, f.folder() / "Dtddta.bak");
     },
     true},
    {"the schedule made", [](const TempFolder& f) { f.write(kScheduleName, "new contents\r\n"); }, true,
     false},
    {"another file written", [](const TempFolder& f) { f.write(kOtherName, "new contents\r\n"); }, false},
    {"another file replaced by a rename", [](const TempFolder& f) { replaceByRename(f, kOtherName); }, false},
};

inline void prepareFolder(const TempFolder& folder, const FolderChange& change) {
    if (change.scheduleThere) folder.write(kScheduleName, "old contents\r\n");
    folder.write(kOtherName, "old contents\r\n");
}

}  // namespace qm::test
