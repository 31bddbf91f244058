// The headless back end: the form model with no window system. Windows exist as ids with a
// position and a place in the z-order, timers run on the virtual clock, and the modal pieces
// (message boxes, popup menus) stay open until someone answers them.
//
// Implemented: every Backend operation. Time passes only through advance(), in steps of at most
// 100 ms that end where a timer comes due, firing the timers of every loaded form in time order.
// A timer set for a moment waits on the virtual clock itself, and wakes when the clock is set. Headless windows have no frame: a form's
// outer size is its client size. The screen is 1024 x 768 pixels at 96 dpi unless set otherwise.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless/virtual_clock.h"
#include "platform/ui/runtime.h"

namespace qm::headless {

// The keys a user presses in a headless window.
enum class Keystroke { Enter, Escape, Space, Tab, ShiftTab, Delete, Up, Down, Left, Right };

class HeadlessBackend final : public ui::Backend {
public:
    explicit HeadlessBackend(VirtualClock& clock);
    // The runtime that receives timer ticks and the answers to modal pieces; set once, before
    // any form loads.
    void attach(ui::Runtime& runtime) { runtime_ = &runtime; }

    // ui::Backend
    void created(ui::Form& form) override;
    void destroyed(ui::Form& form) override;
    void shown(ui::Form& form) override;
    void hidden(ui::Form& form) override;
    void formChanged(ui::Form&, ui::FormProp) override {}
    void changed(ui::Control&, ui::Prop) override { ++changes_; }
    void listChanged(ui::Control&, const ui::ListChange&) override { ++changes_; }
    void timerChanged(ui::Control& timer) override;
    ui::Size outerSize(const ui::Form& form) const override;
    ui::Size screenSize() const override { return screen_; }
    void popupMenu(ui::Form& form, ui::Control& menu, ui::PopupButtons buttons, std::optional<ui::ScreenPoint> at,
                   std::function<void(bool chosen)> closed) override;
    void messageBox(const std::string& text, const std::string& title, ui::MessageBoxButtons buttons,
                    std::function<void(ui::MessageBoxAnswer)> closed) override;
    void doEvents() override {}                      // nothing is ever pending
    void disableCloseCommand(ui::Form&) override {}  // the model's closeDisabled() says it all
    // An id for each window that exists, as an OS would give one; 0 for a form not loaded.
    std::uintptr_t windowId(const ui::Form& form) const;
    void quit(int exitCode) override;

    // Lets `by` pass on the virtual clock in steps of at most 100 ms, each ending no later than the
    // next timer's moment; after each step every timer that has come due ticks, earliest first, the
    // one armed first on a tie.
    void advance(std::chrono::milliseconds by);
    // Milliseconds since the back end was made; timers are due on this scale.
    std::chrono::milliseconds elapsed() const { return elapsed_; }

    // The message boxes on the screen, the most recent last.
    struct MessageBox {
        std::string text;
        std::string title;
        ui::MessageBoxButtons buttons = ui::MessageBoxButtons::Ok;
    };
    std::vector<MessageBox> messageBoxes() const;
    // Closes the most recent message box with one of its buttons (OK, or はい / いいえ for a
    // question). False when none is open or it has no such button.
    bool answerMessageBox(ui::MessageBoxAnswer answer = ui::MessageBoxAnswer::Ok);

    // The popup menu on the screen, if any.
    struct OpenMenu {
        ui::Form* form = nullptr;
        ui::Control* menu = nullptr;
        ui::PopupButtons buttons = ui::PopupButtons::Left;
        std::optional<ui::ScreenPoint> at;  // none: at the mouse
    };
    std::optional<OpenMenu> openMenu() const;
    // Picks an item of the open menu by name or caption; false when there is no such item or it
    // cannot be chosen (disabled, hidden, a separator). The menu stays open then.
    bool pickMenuItem(const std::string& nameOrCaption);
    // Picks the item of the open menu whose access key is `key`, as the menu does when the key is
    // typed; false when none has it.
    bool pickMenuAccessKey(char key);
    // Closes the open menu without a choice. False when none is open.
    bool dismissMenu();

    // The keyboard. A window shown for the first time since it loaded gives the focus to
    // Form::firstFocus; Tab and Shift+Tab move it round Form::tabOrder; a click moves it to the
    // control clicked. Enter, Esc, Space and Delete go to the form runtime as a real back end's do;
    // the arrows move a list's selection (raising its click), an option group's choice, a
    // calendar's day or a tab strip's tab, as native controls do.
    void keyPressed(ui::Form& form, Keystroke key);
    // The control with the focus in a loaded form; null when the window itself has it, or the
    // control no longer shows or is disabled.
    ui::Control* focused(const ui::Form& form) const;
    void focus(ui::Control& control);

    // Shown forms, the front one last.
    const std::vector<const ui::Form*>& zOrder() const { return zOrder_; }
    void setScreenSize(ui::Size twips) { screen_ = twips; }

    bool quitCalled() const { return quit_.has_value(); }
    std::optional<int> exitCode() const { return quit_; }
    // How many timer ticks have run, of every form: how often the program woke.
    long ticks() const { return ticks_; }
    // How many control property and list changes have reached the back end.
    long changes() const { return changes_; }

private:
    struct ArmedTimer {
        ui::Control* timer;
        std::chrono::milliseconds due;  // an interval's next tick, on the elapsed() scale
        std::uint64_t order;
        std::optional<VirtualTime> at;  // or the moment it waits for, on the clock
        bool clockSet = false;          // the clock was set while it waited: it wakes now
    };
    struct PendingBox {
        MessageBox box;
        std::function<void(ui::MessageBoxAnswer)> closed;
    };
    struct PendingMenu {
        OpenMenu open;
        std::function<void(bool chosen)> closed;
    };
    void closeMenu(ui::Control* chosen);

    void disarm(const ui::Control& timer);
    void fireDueTimers();
    void clockSet();
    // How long until `t` comes due, from now; zero when it is due.
    std::chrono::milliseconds untilDue(const ArmedTimer& t) const;

    VirtualClock& clock_;
    ui::Runtime* runtime_ = nullptr;
    std::chrono::milliseconds elapsed_{0};
    std::vector<ArmedTimer> timers_;
    std::uint64_t nextOrder_ = 0;
    std::map<const ui::Form*, std::uintptr_t> windows_;
    std::uintptr_t nextWindow_ = 0x20000;
    std::vector<const ui::Form*> zOrder_;
    std::vector<PendingBox> boxes_;
    std::optional<PendingMenu> menu_;
    std::map<const ui::Form*, ui::Control*> focus_;
    void arrowPressed(ui::Control& control, int step, bool vertical);
    ui::Size screen_{1024 * 15, 768 * 15};
    std::optional<int> quit_;
    long changes_ = 0;
    long ticks_ = 0;
};

}  // namespace qm::headless
