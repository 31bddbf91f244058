// The tray icon service: one icon in the task tray, its tip, and its mouse messages.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/ui/definition.h"

namespace qm {

inline constexpr unsigned kNifMessage = 1;
inline constexpr unsigned kNifIcon = 2;
inline constexpr unsigned kNifTip = 4;
inline constexpr unsigned kWmMouseMove = 0x0200;
inline constexpr unsigned kWmLButtonUp = 0x0202;
inline constexpr unsigned kWmRButtonUp = 0x0205;

// The notify-icon record, filled anew for every call.
struct TrayIconData {
    std::uintptr_t window = 0;
    unsigned id = 0;
    unsigned flags = 0;
    unsigned callbackMessage = 0;
    ui::Icon icon = ui::Icon::None;
    std::string tip;
    bool operator==(const TrayIconData&) const = default;
};

class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    virtual bool add(const TrayIconData& data) = 0;
    virtual bool modify(const TrayIconData& data) = 0;
    virtual bool remove(const TrayIconData& data) = 0;
    // Mouse messages on the icon (0x0202 left button up, 0x0205 right button up, …) go to
    // `sink` with the window of the icon's record; the program hands them to that form's
    // Form_MouseMove as its X coordinate.
    void setMouseSink(std::function<void(std::uintptr_t window, unsigned message)> sink) {
        sink_ = std::move(sink);
    }

protected:
    void deliver(std::uintptr_t window, unsigned message) const {
        if (sink_) sink_(window, message);
    }

private:
    std::function<void(std::uintptr_t, unsigned)> sink_;
};

}  // namespace qm
