// The idle source on Windows: GetLastInputInfo, the tick of the session's last input.
#include "platform/idle_source.h"

#include "platform/win32/services.h"

namespace qm::win32 {
namespace {

class LastInputIdle final : public IdleSource {
public:
    std::optional<std::chrono::seconds> idleTime() override {
        LASTINPUTINFO last{};
        last.cbSize = sizeof(last);
        if (!GetLastInputInfo(&last)) return std::nullopt;
        // Both ticks wrap after 49.7 days; their difference in 32 bits does not.
        const DWORD elapsed = GetTickCount() - last.dwTime;
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::milliseconds(elapsed));
    }
};

}  // namespace

std::unique_ptr<IdleSource> makeIdleSource() {
    return std::make_unique<LastInputIdle>();
}

}  // namespace qm::win32
