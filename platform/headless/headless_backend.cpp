// The headless back end: windows as ids, timers on the virtual clock, modal pieces held open.
#include "platform/headless/headless_backend.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

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
    focus_.erase(&form);
    // A menu whose window goes away closes with it, without a choice.
    if (menu_ && menu_->open.form == &form) menu_.reset();
}

void HeadlessBackend::shown(ui::Form& form) {
    if (!focus_.contains(&form)) focus_[&form] = form.firstFocus();
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
                                std::optional<ui::ScreenPoint> at, std::function<void(bool chosen)> closed) {
    if (menu_) throw std::logic_error("a popup menu is already open");
    menu_ = PendingMenu{{&form, &menu, buttons, at}, std::move(closed)};
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

ui::Control* HeadlessBackend::focused(const ui::Form& form) const {
    auto it = focus_.find(&form);
    if (it == focus_.end() || !it->second) return nullptr;
    ui::Control* c = it->second;
    return c->enabled() && form.shows(*c) ? c : nullptr;
}

void HeadlessBackend::focus(ui::Control& control) {
    const std::vector<ui::Control*> order = control.form().tabOrder();
    const bool takes = std::find(order.begin(), order.end(), &control) != order.end() ||
                       (control.kind() == ui::Kind::Option && control.enabled());
    if (takes) focus_[&control.form()] = &control;
}

void HeadlessBackend::keyPressed(ui::Form& form, Keystroke key) {
    ui::Control* on = focused(form);
    switch (key) {
        case Keystroke::Enter:
            if (on && on->kind() == ui::Kind::Calendar) {
                runtime_->click(*on);  // the day chosen with the arrows
            } else {
                runtime_->enterPressed(form, on);
            }
            break;
        case Keystroke::Escape:
            runtime_->escapePressed(form);
            break;
        case Keystroke::Space:
            // Buttons and options take Space themselves; a link asks the runtime.
            if (on && (on->kind() == ui::Kind::Button || on->kind() == ui::Kind::Option)) {
                runtime_->click(*on);
            } else {
                runtime_->spacePressed(on);
            }
            break;
        case Keystroke::Tab:
        case Keystroke::ShiftTab:
            focus_[&form] = form.nextFocus(on, key == Keystroke::Tab);
            break;
        case Keystroke::Delete:
            if (on) runtime_->keyDown(*on, ui::Key::Delete);
            break;
        case Keystroke::Up:
        case Keystroke::Down:
        case Keystroke::Left:
        case Keystroke::Right:
            if (on) {
                const bool back = key == Keystroke::Up || key == Keystroke::Left;
                arrowPressed(*on, back ? -1 : 1, key == Keystroke::Up || key == Keystroke::Down);
            }
            break;
    }
}

void HeadlessBackend::arrowPressed(ui::Control& control, int step, bool vertical) {
    using namespace std::chrono;
    switch (control.kind()) {
        case ui::Kind::ListBox:
        case ui::Kind::ComboBox: {
            if (!vertical || control.listCount() == 0) return;
            const int index = std::clamp(control.listIndex() + step, 0, control.listCount() - 1);
            if (index == control.listIndex()) return;
            control.syncListIndex(index);
            if (control.kind() == ui::Kind::ComboBox) {
                control.syncText(control.list(index));
            } else {
                runtime_->click(control);
            }
            return;
        }
        case ui::Kind::Option: {
            // Round the group, choosing as it goes.
            std::vector<ui::Control*> group;
            for (ui::Control* o : control.form().childrenOf(control.props().parent)) {
                if (o->kind() == ui::Kind::Option && o->enabled() && control.form().shows(*o)) group.push_back(o);
            }
            // In the tab order, as a dialog creates them.
            std::stable_sort(group.begin(), group.end(), [](const ui::Control* a, const ui::Control* b) {
                return static_cast<unsigned>(a->props().tabIndex) < static_cast<unsigned>(b->props().tabIndex);
            });
            const auto at = std::find(group.begin(), group.end(), &control);
            if (at == group.end()) return;
            const auto n = static_cast<std::ptrdiff_t>(group.size());
            ui::Control* next = group[static_cast<std::size_t>(((at - group.begin()) + step + n) % n)];
            focus_[&control.form()] = next;
            runtime_->click(*next);
            return;
        }
        case ui::Kind::Calendar:
            control.syncDate(year_month_day{sys_days{control.date()} + days{vertical ? 7 * step : step}});
            return;
        case ui::Kind::TabStrip: {
            if (vertical) return;
            const int tabs = static_cast<int>(control.props().tabs.size());
            const int tab = std::clamp(control.currentTab() + step, 0, tabs - 1);
            if (tab != control.currentTab()) control.syncCurrentTab(tab);
            return;
        }
        default:
            return;
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
    closeMenu(chosen);
    return true;
}

bool HeadlessBackend::pickMenuAccessKey(char key) {
    if (!menu_) return false;
    ui::Control* chosen = menu_->open.form->accessKeyItem(*menu_->open.menu, key);
    if (!chosen) return false;
    closeMenu(chosen);
    return true;
}

bool HeadlessBackend::dismissMenu() {
    if (!menu_) return false;
    closeMenu(nullptr);
    return true;
}

void HeadlessBackend::closeMenu(ui::Control* chosen) {
    PendingMenu menu = std::move(*menu_);
    menu_.reset();
    if (chosen) runtime_->click(*chosen);
    if (menu.closed) menu.closed(chosen != nullptr);
}

}  // namespace qm::headless
