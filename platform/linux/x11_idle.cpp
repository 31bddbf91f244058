// The idle source from the X server's screensaver extension (XScreenSaverQueryInfo): the time
// since the last input the server saw. The display is opened when the source is first tried, so
// that the program starts without one. No Qt here: Xlib's macros clash with its names.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

#include <cstdlib>

#include "platform/linux/session_idle.h"

namespace qm::linux_desktop {
namespace {

class X11Idle final : public IdleSource {
public:
    explicit X11Idle(Display* display) : display_(display), info_(XScreenSaverAllocInfo()) {}
    ~X11Idle() override {
        if (info_) XFree(info_);
        XCloseDisplay(display_);
    }
    X11Idle(const X11Idle&) = delete;
    X11Idle& operator=(const X11Idle&) = delete;

    std::optional<std::chrono::seconds> idleTime() override {
        if (!info_ || !XScreenSaverQueryInfo(display_, DefaultRootWindow(display_), info_))
            return std::nullopt;
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::milliseconds(info_->idle));
    }

private:
    Display* display_;
    XScreenSaverInfo* info_;
};

}  // namespace

std::unique_ptr<IdleSource> makeX11Idle() {
    if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland && *wayland) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    int event = 0, error = 0;
    if (!XScreenSaverQueryExtension(display, &event, &error)) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::make_unique<X11Idle>(display);
}

}  // namespace qm::linux_desktop
