// The recording fakes: remember the call, answer as a willing OS would.
#include "platform/headless/recording_services.h"

#include <algorithm>

namespace qm::headless {

Status RecordingSessionEnd::end(SessionRequest request) {
    requests.push_back(request);
    return refusal ? Status::failure(*refusal) : Status::success();
}

bool RecordingTrayIcon::add(const TrayIconState& state) {
    calls.push_back({Op::Add, state});
    if (!taskbarRunning || shown_) return false;
    shown_ = state;
    return true;
}

bool RecordingTrayIcon::modify(const TrayIconState& state) {
    calls.push_back({Op::Modify, state});
    if (!shown_) return false;
    shown_ = state;
    return true;
}

bool RecordingTrayIcon::remove() {
    calls.push_back({Op::Remove, {}});
    if (!shown_) return false;
    shown_.reset();
    return true;
}

bool RecordingTrayIcon::notify(const std::string& title, const std::string& text, std::vector<NoticeAction> actions) {
    if (!shown_) return false;
    notices.push_back({title, text});
    noticeActions = std::move(actions);
    return true;
}

bool RecordingTrayIcon::chooseNoticeAction(std::string_view caption) const {
    for (const NoticeAction& action : noticeActions) {
        if (action.caption != caption || !action.chosen) continue;
        const std::function<void()> chosen = action.chosen;  // the choice may replace the actions
        chosen();
        return true;
    }
    return false;
}

bool RecordingTrayIcon::clickNotice() const {
    if (notices.empty()) return false;
    noticeClicked();
    return true;
}

bool ManualProcessWatch::watch(const std::string& target, std::function<void()> ended) {
    if (std::find(running.begin(), running.end(), target) == running.end()) return false;
    watched_ = target;
    ended_ = std::move(ended);
    return true;
}

void ManualProcessWatch::end(const std::string& target) {
    std::erase(running, target);
    if (watched_ != target) return;
    watched_.reset();
    const std::function<void()> ended = std::move(ended_);
    if (ended) ended();
}

bool RecordingTrayIcon::click(TrayClick click, TrayAnchor anchor) const {
    if (!shown_) return false;
    clicked(click, anchor);
    return true;
}

std::vector<std::string> RecordingTrayIcon::hostMenuCaptions() const {
    std::vector<std::string> captions;
    for (const TrayMenuItem& item : hostMenu) captions.push_back(item.caption);
    return captions;
}

bool RecordingTrayIcon::chooseHostMenuItem(std::string_view caption) const {
    if (!shown_) return false;
    for (const TrayMenuItem& item : hostMenu) {
        if (item.caption != caption || !item.chosen) continue;
        const std::function<void()> chosen = item.chosen;  // the choice may replace the menu
        chosen();
        return true;
    }
    return false;
}

bool RecordingShell::open(const std::string& document, const std::optional<std::string>& parameters) {
    opened.push_back({document, parameters});
    return true;
}

Status RecordingStartupShortcut::create(const std::string& name, const std::string& program,
                                        const std::string& arguments) {
    calls.push_back({name, program, arguments});
    return Status::success();
}

}  // namespace qm::headless
