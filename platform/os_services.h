// The real OS services that need no window system: one implementation per OS, picked by the build.
#pragma once

#include <memory>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace qm {

std::unique_ptr<Clock> makeSystemClock();
std::unique_ptr<TextCodec> makeShiftJisCodec();
std::unique_ptr<FileSystem> makeFileSystem();

}  // namespace qm
