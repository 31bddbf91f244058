// Where the running executable lives, and where its schedule and documents are, found by the
// OS's own means.
#pragma once

#include <string_view>

#include "platform/program_folder.h"

namespace qm {

// The folder of the running executable, without a trailing separator, with the folder of the
// schedule file named `scheduleName` as scheduleHome() decides it and the documents' folder.
ProgramFolder runningProgramFolder(std::string_view scheduleName);

}  // namespace qm
