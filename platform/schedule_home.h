// Where the schedule lives: one rule for every OS, for the windows and the command line alike.
#pragma once

#include <string>

namespace qm {

// What the program finds out about its own folder at start.
struct ProgramPlace {
    bool scheduleBeside = false;  // a schedule file is already there
    bool installed = false;       // under /usr, or under a Program Files folder
    bool writable = true;         // a new file may be made there
    std::string userFolder{};     // the user's own QuietusMachine folder; empty when none is known
};

enum class ScheduleHome { ProgramFolder, UserFolder };

// A schedule beside the executable is always the one: a portable folder, or an administrator's
// deployment, keeps working unchanged. Without one, an installed program, or one whose folder
// takes no new file, keeps the schedule in the user's own folder; any other program keeps it
// beside itself.
inline ScheduleHome scheduleHome(const ProgramPlace& place) {
    if (place.scheduleBeside) return ScheduleHome::ProgramFolder;
    if ((place.installed || !place.writable) && !place.userFolder.empty()) return ScheduleHome::UserFolder;
    return ScheduleHome::ProgramFolder;
}

}  // namespace qm
