// The recording fakes: remember the call, answer as a willing OS would.
#include "platform/headless/recording_services.h"

namespace qm::headless {

Status RecordingSessionEnd::endSession(unsigned flags) {
    requests.push_back(flags);
    return refusal ? Status::failure(*refusal) : Status::success();
}

bool RecordingTrayIcon::add(const TrayIconData& data) {
    calls.push_back({Op::Add, data});
    if (!taskbarRunning || shown_) return false;
    shown_ = data;
    return true;
}

bool RecordingTrayIcon::modify(const TrayIconData& data) {
    calls.push_back({Op::Modify, data});
    if (!shown_ || shown_->window != data.window || shown_->id != data.id) return false;
    shown_ = data;
    return true;
}

bool RecordingTrayIcon::remove(const TrayIconData& data) {
    calls.push_back({Op::Remove, data});
    if (!shown_ || shown_->window != data.window || shown_->id != data.id) return false;
    shown_.reset();
    return true;
}

bool RecordingTrayIcon::mouse(unsigned message) const {
    if (!shown_) return false;
    deliver(shown_->window, message);
    return true;
}

std::intptr_t RecordingShell::open(std::uintptr_t owner, const std::string& verb, const std::string& document,
                                   const std::optional<std::string>& parameters, const std::string& folder,
                                   int showCommand) {
    opened.push_back({owner, verb, document, parameters, folder, showCommand});
    return 42;  // above 32: the shell's "done"
}

int RecordingStartupShortcut::create(const std::string& folder, const std::string& name,
                                     const std::string& target, const std::string& arguments) {
    calls.push_back({folder, name, target, arguments});
    return 1;
}

}  // namespace qm::headless
