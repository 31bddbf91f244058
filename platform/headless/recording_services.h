// Recording fakes of the OS services that act on the desktop: they remember every call with
// every argument, so a test can see what the program asked of the OS, and never touch the real
// session, tray, shell or Startup folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/session_end.h"
#include "platform/shell.h"
#include "platform/single_instance.h"
#include "platform/startup_shortcut.h"
#include "platform/tray_icon.h"

namespace qm::headless {

// Records the flags of every request; succeeds unless told to refuse.
class RecordingSessionEnd final : public SessionEnd {
public:
    Status endSession(unsigned flags) override;

    std::vector<unsigned> requests;
    // When set, requests are refused with this reason, as an OS that says no.
    std::optional<std::string> refusal;
};

// Records add, modify and remove with the whole record, keeps the icon the tray would show, and
// lets a test deliver mouse messages on it.
class RecordingTrayIcon final : public TrayIcon {
public:
    enum class Op { Add, Modify, Remove };
    struct Call {
        Op op;
        TrayIconData data;
        bool operator==(const Call&) const = default;
    };

    bool add(const TrayIconData& data) override;
    bool modify(const TrayIconData& data) override;
    bool remove(const TrayIconData& data) override;

    // The icon in the tray, if any.
    const std::optional<TrayIconData>& shown() const { return shown_; }
    // A mouse message on the icon, to the window of its record. False when there is no icon.
    bool mouse(unsigned message) const;

    std::vector<Call> calls;
    // False: no taskbar is running, so adding fails and there is no icon.
    bool taskbarRunning = true;

private:
    std::optional<TrayIconData> shown_;
};

// Records every document opened; the desktop window has a fixed id.
class RecordingShell final : public Shell {
public:
    static constexpr std::uintptr_t kDesktopWindow = 0x10010;
    struct Open {
        std::uintptr_t owner;
        std::string verb;
        std::string document;
        std::optional<std::string> parameters;  // nullopt: a null pointer, not ""
        std::string folder;
        int showCommand;
        bool operator==(const Open&) const = default;
    };

    std::uintptr_t desktopWindow() const override { return kDesktopWindow; }
    std::intptr_t open(std::uintptr_t owner, const std::string& verb, const std::string& document,
                       const std::optional<std::string>& parameters, const std::string& folder,
                       int showCommand) override;

    std::vector<Open> opened;
};

// Records the four arguments of every shortcut made.
class RecordingStartupShortcut final : public StartupShortcut {
public:
    struct Call {
        std::string folder, name, target, arguments;
        bool operator==(const Call&) const = default;
    };

    int create(const std::string& folder, const std::string& name, const std::string& target,
               const std::string& arguments) override;

    std::vector<Call> calls;
};

// Another copy runs when the test says so.
class SettableSingleInstance final : public SingleInstance {
public:
    bool anotherRunning() override { return another; }
    bool another = false;
};

}  // namespace qm::headless
