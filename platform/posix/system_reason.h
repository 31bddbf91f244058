// The C library's text for an error number, in the user's own language where the system has it.
#pragma once

#include <string>

namespace qm {

std::string systemReason(int error);

}  // namespace qm
