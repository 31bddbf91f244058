// The form runtime: runs handlers for the back end's events, one at a time, and stops running
// them once the program has ended.
#include "platform/ui/runtime.h"

#include <algorithm>

namespace qm::ui {

template <class F>
void Runtime::dispatch(F&& handler) {
    if (ended_) return;
    struct Depth {
        Runtime& rt;
        explicit Depth(Runtime& r) : rt(r) { ++rt.depth_; }
        ~Depth() {
            if (--rt.depth_ == 0) rt.retired_.clear();
        }
    } depth(*this);
    handler();
}

void Runtime::run(const std::function<void()>& continuation) {
    dispatch([&] {
        if (continuation) continuation();
    });
}

Form* Runtime::find(std::string_view formName) const {
    auto it = std::find_if(forms_.begin(), forms_.end(), [&](Form* f) { return f->name() == formName; });
    return it == forms_.end() ? nullptr : *it;
}

void Runtime::click(Control& control) {
    dispatch([&] {
        if (control.kind() == Kind::Option) control.setValue(true);
        if (control.onClick) control.onClick();
    });
}

void Runtime::mouseDown(Control& control, int button, int shift, double x, double y) {
    dispatch([&] {
        if (control.onMouseDown) control.onMouseDown(MouseEvent{button, shift, x, y});
    });
}

void Runtime::contextMenu(Control& control, const ContextMenuEvent& event) {
    dispatch([&] {
        if (control.form().isLoaded() && control.onContextMenu) control.onContextMenu(event);
    });
}

void Runtime::keyDown(Control& control, Key key) {
    dispatch([&] {
        if (control.onKeyDown) control.onKeyDown(key);
    });
}

void Runtime::timerTick(Control& timer) {
    dispatch([&] {
        if (timer.enabled() && timer.form().isLoaded() && timer.onTimer) timer.onTimer();
    });
}

void Runtime::closeRequested(Form& form) {
    dispatch([&] {
        if (form.isLoaded() && !form.closeDisabled()) form.closeRequested();
    });
}

bool Runtime::enterPressed(Form& form, Control* focused) {
    Control* target = form.enterTarget(focused);
    if (!target) return false;
    click(*target);
    return true;
}

bool Runtime::spacePressed(Control* focused) {
    if (!focused || focused->kind() != Kind::Label || !focused->props().link) return false;
    click(*focused);
    return true;
}

bool Runtime::escapePressed(Form& form) {
    if (Control* cancel = form.cancelButton()) {
        click(*cancel);
        return true;
    }
    if (!form.def().controlBox) return false;
    closeRequested(form);
    return true;
}

void Runtime::messageBox(const std::string& text, const std::string& title, MessageBoxButtons buttons,
                         std::function<void()> closed) {
    if (ended_) return;
    backend_.messageBox(text, title, buttons,
                        [this, closed = std::move(closed)](MessageBoxAnswer) { run(closed); });
}

void Runtime::ask(const std::string& text, const std::string& title, std::function<void(bool yes)> answered) {
    if (ended_) return;
    backend_.messageBox(text, title, MessageBoxButtons::YesNo,
                        [this, answered = std::move(answered)](MessageBoxAnswer answer) {
                            run([&] {
                                if (answered) answered(answer == MessageBoxAnswer::Yes);
                            });
                        });
}

void Runtime::end(int exitCode) {
    if (ended_) return;
    ended_ = true;
    backend_.quit(exitCode);
}

void Runtime::unregisterForm(Form& form) { std::erase(forms_, &form); }

void Runtime::retire(std::vector<std::unique_ptr<Control>> controls) {
    for (auto& c : controls) retired_.push_back(std::move(c));
    if (depth_ == 0) retired_.clear();
}

}  // namespace qm::ui
