// The control channel on Windows: the running program's message-only window, of class
// QuietusMachineControl, hears each request as WM_COPYDATA (UTF-16 text) from another process's
// message-only window named in wParam, and answers with a WM_COPYDATA to that window before the
// request returns. Requests from a process of another user (its token's SID) or of another session
// are refused; the asking side in turn talks only to a window of its own user and session.
#pragma once

#include <memory>

#include "platform/control_channel.h"

namespace qm::win32 {

inline constexpr wchar_t kControlWindowClass[] = L"QuietusMachineControl";

std::unique_ptr<ControlChannel> makeControlChannel();

}  // namespace qm::win32
