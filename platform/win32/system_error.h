// The OS's own words for a failed call, for the message a user reads.
#pragma once

#include <windows.h>

#include <string>

namespace qm::win32 {

// FormatMessageW's text for `code`, without the trailing line end; the code itself when Windows
// has no text for it.
std::string systemMessage(DWORD code);

}  // namespace qm::win32
