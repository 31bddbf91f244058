// Where the running executable lives, found by the OS's own means.
#pragma once

#include "platform/program_folder.h"

namespace qm {

// The folder of the running executable, without a trailing separator.
ProgramFolder runningProgramFolder();

}  // namespace qm
