// Recording fakes of the OS services that act on the desktop: they remember every call with
// every argument, so a test can see what the program asked of the OS, and never touch the real
// session, tray, shell or Startup folder.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/control_channel.h"
#include "platform/file_system.h"
#include "platform/folder_watcher.h"
#include "platform/idle_source.h"
#include "platform/process_watch.h"
#include "platform/session_end.h"
#include "platform/shell.h"
#include "platform/single_instance.h"
#include "platform/startup_shortcut.h"
#include "platform/tray_icon.h"

namespace qm::headless {

// Records the method of every request; succeeds unless told to refuse.
class RecordingSessionEnd final : public SessionEnd {
public:
    Status end(SessionRequest request) override;

    std::vector<SessionRequest> requests;
    // When set, requests are refused with this reason, as an OS that says no.
    std::optional<std::string> refusal;
};

// Records add, modify and remove with what the icon shows, keeps the icon the tray would show,
// and lets a test click it.
class RecordingTrayIcon final : public TrayIcon {
public:
    enum class Op { Add, Modify, Remove };
    struct Call {
        Op op;
        TrayIconState state;  // empty for a removal
        bool operator==(const Call&) const = default;
    };

    bool add(const TrayIconState& state) override;
    bool modify(const TrayIconState& state) override;
    bool remove() override;
    bool notify(const std::string& title, const std::string& text, std::vector<NoticeAction> actions) override;

    struct Notice {
        std::string title, text;
        bool operator==(const Notice&) const = default;
    };
    // Every notification shown, in order.
    std::vector<Notice> notices;
    // The last notification's actions, as a desktop with buttons on its notifications shows them.
    std::vector<NoticeAction> noticeActions;
    // The last notification's action of that caption chosen. False when it has none.
    bool chooseNoticeAction(std::string_view caption) const;
    // A click on the last notification, where it could not show its actions. False when none was shown.
    bool clickNotice() const;

    // The icon in the tray, if any.
    const std::optional<TrayIconState>& shown() const { return shown_; }
    // A click on the icon. False when there is no icon.
    bool click(TrayClick click, TrayAnchor anchor = std::nullopt) const;
    void focusIcon() override { ++iconFocused; }
    // How often the keyboard was given back to the icon.
    int iconFocused = 0;
    void setHostMenu(std::vector<TrayMenuItem> items) override { hostMenu = std::move(items); }
    // The captions of the menu a tray host would show by itself, in order.
    std::vector<std::string> hostMenuCaptions() const;
    // The host's menu item of that caption chosen. False when the menu has none or there is no icon.
    bool chooseHostMenuItem(std::string_view caption) const;
    std::vector<TrayMenuItem> hostMenu;

    std::vector<Call> calls;
    // False: no taskbar is running, so adding fails and there is no icon.
    bool taskbarRunning = true;

private:
    std::optional<TrayIconState> shown_;
};

// The running program's channel and another process's, in one: what is sent goes straight to the
// handler listening, as from another process of the same user.
class LoopbackControlChannel final : public ControlChannel {
public:
    bool listen(Handler handler) override {
        handler_ = std::move(handler);
        return true;
    }
    std::optional<std::string> send(const std::string& request) override {
        if (!handler_) return std::nullopt;
        return handler_(request);
    }

private:
    Handler handler_;
};

// The user's input on the virtual clock: idle since the last input() (from the start until the
// first), or no source at all when `available` is false.
class VirtualIdleSource final : public IdleSource {
public:
    explicit VirtualIdleSource(const Clock& clock) : clock_(clock), lastInput_(clock.now()) {}
    std::optional<std::chrono::seconds> idleTime() override {
        if (!available) return std::nullopt;
        ++reads;
        return clock_.now() - lastInput_;
    }
    // The user touched the keyboard or the mouse now.
    void input() { lastInput_ = clock_.now(); }
    bool available = true;
    int reads = 0;  // how often the program asked

private:
    const Clock& clock_;
    LocalTime lastInput_;
};

// Processes a test starts and ends by hand: `running` holds the ids and names that run.
class ManualProcessWatch final : public ProcessWatch {
public:
    bool watch(const std::string& target, std::function<void()> ended) override;
    void cancel() override { watched_.reset(); }
    // Every process of that id or name ended: a watch on it reports, once.
    void end(const std::string& target);
    // What runs: each entry an id or a name, as many times as processes of it run.
    std::vector<std::string> running;
    // The target watched now, if any.
    const std::optional<std::string>& watched() const { return watched_; }

private:
    std::optional<std::string> watched_;
    std::function<void()> ended_;
};

// Records every document opened.
class RecordingShell final : public Shell {
public:
    struct Open {
        std::string document;
        std::optional<std::string> parameters;  // nullopt: none at all, not ""
        bool operator==(const Open&) const = default;
    };

    bool open(const std::string& document, const std::optional<std::string>& parameters) override;

    std::vector<Open> opened;
};

// Records the arguments of every shortcut made.
class RecordingStartupShortcut final : public StartupShortcut {
public:
    struct Call {
        std::string name, program, arguments;
        bool operator==(const Call&) const = default;
    };

    Status create(const std::string& name, const std::string& program, const std::string& arguments) override;

    std::vector<Call> calls;
};

// The machine's own file system, whose reads a test can make fail as a failing disk, missing
// permission or another program's lock would, and whose writers a test can make less patient.
class FallibleFileSystem final : public FileSystem {
public:
    explicit FallibleFileSystem(std::unique_ptr<FileSystem> real) : real_(std::move(real)) {}
    std::optional<std::string> lookUpName(const std::string& path) const override { return real_->lookUpName(path); }
    Status readAll(const std::string& path, std::string& bytes) const override {
        if (readFailure) return Status::failure(*readFailure);
        return real_->readAll(path, bytes);
    }
    Status replaceAll(const std::string& path, std::string_view bytes) override {
        return real_->replaceAll(path, bytes);
    }
    WriteLock lockForWriting(const std::string& path, std::chrono::milliseconds patience) override {
        return real_->lockForWriting(path, lockPatience.value_or(patience));
    }
    Status makeFolder(const std::string& folder) override { return real_->makeFolder(folder); }

    // When set, every read fails with this reason.
    std::optional<std::string> readFailure;
    // When set, writers wait this long for the lock instead.
    std::optional<std::chrono::milliseconds> lockPatience;

private:
    std::unique_ptr<FileSystem> real_;
};

// Another copy runs when the test says so.
class SettableSingleInstance final : public SingleInstance {
public:
    bool anotherRunning() override { return another; }
    bool another = false;
};

// Remembers what it was asked to watch; a test reports a change on disk by calling changed().
class ManualFolderWatcher final : public FolderWatcher {
public:
    bool watch(const std::string& folder, const std::string& fileName, std::function<void()> changed) override {
        this->folder = folder;
        this->fileName = fileName;
        changed_ = std::move(changed);
        return true;
    }
    void reportAgain() override { again_ = true; }
    // What the OS would report after a change, and again after each settle time the program waits
    // for while nothing more changes; false when nothing is watched.
    bool changed() {
        if (!reportOnce()) return false;
        while (std::exchange(again_, false)) changed_();
        return true;
    }
    // The first report alone: the file may change again before the settle time is over.
    bool reportOnce() {
        if (!changed_) return false;
        again_ = false;
        changed_();
        return true;
    }
    // Whether the program waits for another report.
    bool waiting() const { return again_; }

    std::string folder, fileName;

private:
    std::function<void()> changed_;
    bool again_ = false;
};

}  // namespace qm::headless
