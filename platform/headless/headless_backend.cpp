// The headless back end: windows as ids, timers on the virtual clock, modal pieces held open.
#include "platform/headless/headless_backend.h"

#include <algorithm>
#include <stdexcept>

namespace qm::headless {

using namespace std::chrono_literals;

HeadlessBackend::HeadlessBackend(VirtualClock& clock) : clock_(clock) {
    clock_.onSet = [this] { clockSet(); };
}

void HeadlessBackend::created(ui::Form& form) {
    windows_[&form] = nextWindow_++;
}

void HeadlessBackend::destroyed(ui::Form& form) {
    std::erase_if(timers_, [&](const ArmedTimer& t) { return &t.timer->form() == &form; });
    std::erase(zOrder_, &form);
    windows_.erase(&form);
    // A menu whose window goes away closes with it, without a choice.
    if (menu_ && menu_->open.form == &form) menu_.reset();
}

void HeadlessBackend::shown(ui::Form& form) {
    std::erase(zOrder_, &form);
    zOrder_.push_back(&form);
}

void HeadlessBackend::hidden(ui::Form& form) {
    std::erase(zOrder_, &form);
}

void HeadlessBackend::disarm(const ui::Control& timer) {
    std::erase_if(timers_, [&](const ArmedTimer& t) { return t.timer == &timer; });
}

void HeadlessBackend::timerChanged(ui::Control& timer) {
    // Enabling a timer or changing its interval starts its count afresh, as native timers do.
    disarm(timer);
    if (!timer.form().isLoaded() || !timer.enabled()) return;
    if (const auto& at = timer.deadline()) {
        timers_.push_back({&timer, elapsed_, nextOrder_++, VirtualTime{*at}});
    } else if (timer.interval() > 0) {
        timers_.push_back({&timer, elapsed_ + std::chrono::milliseconds(timer.interval()), nextOrder_++, {}});
    }
}

void HeadlessBackend::clockSet() {
    for (ArmedTimer& t : timers_) t.clockSet = t.at.has_value();
    fireDueTimers();
}

std::chrono::milliseconds HeadlessBackend::untilDue(const ArmedTimer& t) const {
    if (!t.at) return std::max(t.due - elapsed_, 0ms);
    if (t.clockSet) return 0ms;
    return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(*t.at - clock_.exact()), 0ms);
}

ui::Size HeadlessBackend::outerSize(const ui::Form& form) const {
    return {form.def().clientWidth, form.def().clientHeight};
}

void HeadlessBackend::popupMenu(ui::Form& form, ui::Control& menu, ui::PopupButtons buttons,
                                std::function<void()> closed) {
    if (menu_) throw std::logic_error("a popup menu is already open");
    menu_ = PendingMenu{{&form, &menu, buttons}, std::move(closed)};
}

void HeadlessBackend::messageBox(const std::string& text, const std::string& title, ui::MessageBoxButtons buttons,
                                 std::function<void(ui::MessageBoxAnswer)> closed) {
    boxes_.push_back({{text, title, buttons}, std::move(closed)});
}

std::uintptr_t HeadlessBackend::windowId(const ui::Form& form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? 0 : it->second;
}

void HeadlessBackend::quit(int exitCode) {
    // Everything on the screen goes with the program; nothing more ticks or answers.
    quit_ = exitCode;
    timers_.clear();
    boxes_.clear();
    menu_.reset();
    zOrder_.clear();
}

void HeadlessBackend::advance(std::chrono::milliseconds by) {
    while (by > 0ms && !quit_) {
        auto step = std::min<std::chrono::milliseconds>(by, 100ms);
        for (const ArmedTimer& t : timers_) step = std::min(step, std::max(untilDue(t), 1ms));
        by -= step;
        elapsed_ += step;
        clock_.advance(step);
        fireDueTimers();
    }
}

void HeadlessBackend::fireDueTimers() {
    while (!quit_) {
        auto next =
            std::min_element(timers_.begin(), timers_.end(), [this](const ArmedTimer& a, const ArmedTimer& b) {
                const auto ua = untilDue(a), ub = untilDue(b);
                return ua != ub ? ua < ub : a.order < b.order;
            });
        if (next == timers_.end() || untilDue(*next) > 0ms) return;
        // Rearm before the tick: the handler may stop the timer, change it or unload its form. A
        // timer that waited for a moment has spent it; its handler sets the next one.
        ui::Control& timer = *next->timer;
        if (next->at) {
            timers_.erase(next);
        } else {
            next->due += std::chrono::milliseconds(timer.interval());
            next->order = nextOrder_++;
        }
        ++ticks_;
        runtime_->timerTick(timer);
    }
}

std::vector<HeadlessBackend::MessageBox> HeadlessBackend::messageBoxes() const {
    std::vector<MessageBox> out;
    for (const PendingBox& b : boxes_) out.push_back(b.box);
    return out;
}

bool HeadlessBackend::answerMessageBox(ui::MessageBoxAnswer answer) {
    if (boxes_.empty()) return false;
    const bool question = boxes_.back().box.buttons == ui::MessageBoxButtons::YesNo;
    if (question != (answer != ui::MessageBoxAnswer::Ok)) return false;
    std::function<void(ui::MessageBoxAnswer)> closed = std::move(boxes_.back().closed);
    boxes_.pop_back();
    if (closed) closed(answer);
    return true;
}

std::optional<HeadlessBackend::OpenMenu> HeadlessBackend::openMenu() const {
    if (!menu_) return std::nullopt;
    return menu_->open;
}

bool HeadlessBackend::pickMenuItem(const std::string& nameOrCaption) {
    if (!menu_) return false;
    ui::Control* chosen = nullptr;
    for (ui::Control* item : menu_->open.form->childrenOf(menu_->open.menu->name())) {
        if (item->name() == nameOrCaption || item->caption() == nameOrCaption) chosen = item;
    }
    if (!chosen || !chosen->enabled() || !chosen->visible() || chosen->caption() == "-") return false;
    PendingMenu menu = std::move(*menu_);
    menu_.reset();
    runtime_->click(*chosen);
    if (menu.closed) menu.closed();
    return true;
}

bool HeadlessBackend::dismissMenu() {
    if (!menu_) return false;
    PendingMenu menu = std::move(*menu_);
    menu_.reset();
    if (menu.closed) menu.closed();
    return true;
}

}  // namespace qm::headless
