// The form runtime: the bridge between forms and a back end. Back ends implement Backend and
// report the user's actions and timer ticks through Runtime, which runs the handlers.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/form.h"

namespace qm::ui {

struct Size {
    int width = 0, height = 0;  // twips
};

enum class FormProp { Caption, Position, Icon };

// The buttons of a message box: most of the program's boxes have one OK button; a question has
// はい and いいえ.
enum class MessageBoxButtons { Ok, YesNo };
// The button that closed a message box.
enum class MessageBoxAnswer { Ok, Yes, No };

class Backend {
public:
    virtual ~Backend() = default;

    // Native window and controls for a loaded form, created hidden; destroyed on unload.
    virtual void created(Form& form) = 0;
    virtual void destroyed(Form& form) = 0;
    virtual void shown(Form& form) = 0;  // visible and brought to the front
    virtual void hidden(Form& form) = 0;
    virtual void formChanged(Form& form, FormProp prop) = 0;
    virtual void changed(Control& control, Prop prop) = 0;
    // The items of a list or combo box changed; its selection (listIndex) has already followed.
    virtual void listChanged(Control& control, const ListChange& change) = 0;
    // A timer's enabled state, interval or moment changed (it runs while enabled, with an interval
    // or a moment, on a loaded form). Timers of a form that is destroyed stop with it.
    virtual void timerChanged(Control& timer) = 0;
    virtual Size outerSize(const Form& form) const = 0;
    virtual Size screenSize() const = 0;
    // Shows `menu` at `at`, or at the mouse position. The chosen item (never a disabled one) goes
    // to Runtime::click, then `closed` runs, also when the menu was dismissed, saying whether an
    // item was chosen.
    virtual void popupMenu(Form& form, Control& menu, PopupButtons buttons, std::optional<ScreenPoint> at,
                           std::function<void(bool chosen)> closed) = 0;
    // Modal; timers keep ticking while it is open. `closed` runs once the user has dismissed it,
    // with the button that closed it (いいえ for a question closed without an answer).
    virtual void messageBox(const std::string& text, const std::string& title, MessageBoxButtons buttons,
                            std::function<void(MessageBoxAnswer)> closed) = 0;
    virtual void doEvents() = 0;
    virtual void disableCloseCommand(Form& form) = 0;
    // Ends the program at once: no window is unloaded, no further handler runs.
    virtual void quit(int exitCode) = 0;
};

class Runtime {
public:
    explicit Runtime(Backend& backend) : backend_(backend) {}

    Backend& backend() const { return backend_; }
    const std::vector<Form*>& forms() const { return forms_; }
    Form* find(std::string_view formName) const;

    // The user's actions and timer ticks, from the back end. Nothing runs once the program ended.
    void click(Control& control);  // an option button becomes selected first
    void mouseDown(Control& control, int button, int shift, double x, double y);
    void contextMenu(Control& control, const ContextMenuEvent& event);
    void timerTick(Control& timer);
    void keyDown(Control& control, Key key);
    void closeRequested(Form& form);  // close box, Alt+F4, the system menu's Close
    // Enter, Esc and Space in a window, as in a dialog: Enter clicks Form::enterTarget (the button
    // or link with the focus, else the default button); Esc clicks the cancel button, else closes
    // the window as its close box would; Space on a link follows it (buttons take Space
    // themselves). `focused` is the control with the focus, if any. False when the key means
    // nothing there. Tab, the arrows and access keys are native in a real back end; the headless
    // one does them from Form::nextFocus and Form::accessKeyItem.
    bool enterPressed(Form& form, Control* focused);
    bool escapePressed(Form& form);
    bool spacePressed(Control* focused);

    // Modal: `closed` runs as a handler once the user has dismissed the box.
    void messageBox(const std::string& text, const std::string& title,
                    MessageBoxButtons buttons = MessageBoxButtons::Ok, std::function<void()> closed = {});
    // A question with はい and いいえ; `answered` runs as a handler with true for はい.
    void ask(const std::string& text, const std::string& title, std::function<void(bool yes)> answered);
    // Runs the rest of a handler that waited for a modal piece (a message box, a popup menu).
    void run(const std::function<void()>& continuation);

    // Ends the program at once.
    void end(int exitCode = 0);
    bool ended() const { return ended_; }

private:
    friend class Form;
    void registerForm(Form& form) { forms_.push_back(&form); }
    void unregisterForm(Form& form);
    // Controls of an unloaded form are kept until no handler is running, since the handler that
    // unloaded them may belong to one of them.
    void retire(std::vector<std::unique_ptr<Control>> controls);
    template <class F>
    void dispatch(F&& handler);

    Backend& backend_;
    std::vector<Form*> forms_;
    std::vector<std::unique_ptr<Control>> retired_;
    int depth_ = 0;
    bool ended_ = false;
};

}  // namespace qm::ui
