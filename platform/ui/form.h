// The retained form/control model: forms that exist at most once, load and unload from their
// definition, and controls whose property changes reach whatever back end is bound.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/definition.h"
#include "platform/ui/list_model.h"

namespace qm::ui {

class Form;
class Runtime;

// What changed, for the back end to mirror.
// (A list's items are not a property: the list model reports their changes, see ListModel.)
enum class Prop { Caption, Rect, Font, ForeColour, Tooltip, Enabled, Visible, Value, ListIndex, Interval, Date, CurrentTab, Icon };

enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// A point on the screen, in the back end's screen pixels.
struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// A mouse button pressed on a control: the button, Shift (1), Ctrl (2) and Alt (4) held, and the
// place in twips from the control's top left.
struct MouseEvent {
    int button = kLeftButton;
    int shift = 0;
    double x = 0, y = 0;
};

// The user asked for a control's context menu: the right button released over it (pressed, where
// the desktop opens menus on the press), Shift+F10 or the menu key. A menu opened for it opens at
// `anchor`: the mouse, or for a key the control's caret row.
struct ContextMenuEvent {
    ScreenPoint anchor;
    bool fromKeyboard = false;
};

// Keys a control handles itself; Enter, Esc, Tab and arrows are the window's (default and cancel
// buttons, focus, selection), see Runtime::keyPressed.
enum class Key { Delete };

// Which mouse buttons pick an item of a popup menu.
enum class PopupButtons { Left, LeftAndRight };

class Control {
public:
    Control(Form& form, ControlDef def);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Form& form() const { return form_; }
    const ControlDef& props() const { return p_; }  // current values, starting from the definition
    Kind kind() const { return p_.kind; }
    const std::string& name() const { return p_.name; }

    const std::string& caption() const { return p_.caption; }  // also a combo box's edit text
    void setCaption(std::string caption);
    const std::string& text() const { return p_.caption; }
    void setText(std::string text) { setCaption(std::move(text)); }
    void setRect(Rect rect);
    Colour foreColour() const { return p_.foreColour.value_or(0); }
    void setForeColour(Colour colour);
    bool enabled() const { return p_.enabled; }
    void setEnabled(bool enabled);  // for a Timer: start or stop it
    bool visible() const { return p_.visible; }
    void setVisible(bool visible);
    void setIcon(Icon icon);

    // Option buttons: selecting one clears the others of the same parent.
    bool value() const { return p_.value; }
    void setValue(bool value);

    // List and combo boxes show a model: their own small list of strings unless the form gives
    // them another one to show. The selection follows its item when rows come or go.
    const ListModel& model() const { return *model_; }
    void showModel(ListModel& model);
    int listCount() const { return static_cast<int>(model_->size()); }
    std::string list(int index) const;
    // A copy of every item, for readers that want them all at once (tests, small lists).
    std::vector<std::string> items() const;
    // Editing the control's own list; a control showing another model is edited through it.
    void addItem(std::string item);
    void removeItem(int index);
    void clear();
    int listIndex() const { return listIndex_; }  // -1: nothing selected
    void setListIndex(int index);

    // Timers. A timer ticks every `interval` milliseconds while it is enabled, or, once set for a
    // moment, when the clock shows that moment: the real-time clock is waited on, so time passing,
    // the clock set past the moment and a resume from sleep all tick it at once and never later.
    // It also ticks, early, whenever the clock is set or the machine resumes: the handler reads the
    // clock and sets it again. Setting an interval ends the wait for a moment.
    int interval() const { return p_.interval; }
    void setInterval(int ms);
    void tickAt(std::chrono::local_seconds at);
    const std::optional<std::chrono::local_seconds>& deadline() const { return deadline_; }

    // Month calendar.
    std::chrono::year_month_day date() const { return date_; }
    void setDate(std::chrono::year_month_day date);

    // Tab strip: the tab shown.
    int currentTab() const { return currentTab_; }
    void setCurrentTab(int tab);

    // The user's own changes, reported by a back end: the model follows without echoing back.
    void syncListIndex(int index) { listIndex_ = index; }
    void syncText(std::string text) { p_.caption = std::move(text); }
    void syncDate(std::chrono::year_month_day date) { date_ = date; }
    void syncCurrentTab(int tab) { currentTab_ = tab; }

    // Events, raised by the back end through Runtime; a form binds its handlers here.
    std::function<void()> onClick;
    std::function<void(const MouseEvent&)> onMouseDown;
    std::function<void(const ContextMenuEvent&)> onContextMenu;
    std::function<void()> onTimer;
    // A key pressed while the control has the focus.
    std::function<void(Key)> onKeyDown;

    // The back end's own object for this control.
    void* native = nullptr;

    ~Control();
    // Stops following the model; the form's unload calls it, since a retired control may
    // outlive its window for a while.
    void detach();

private:
    void changed(Prop prop);
    void modelChanged(const ListChange& change);
    StringListModel& ownItems();

    Form& form_;
    ControlDef p_;
    StringListModel ownItems_;
    ListModel* model_ = &ownItems_;
    bool attached_ = false;
    int listIndex_ = -1;
    std::chrono::year_month_day date_{};
    int currentTab_ = 0;
    std::optional<std::chrono::local_seconds> deadline_;
};

// A window. Each form object exists once for the whole program; it is loaded (its controls exist)
// or not. Derived forms give the definition and their handlers.
class Form {
public:
    Form(Runtime& runtime, FormDef (*define)());
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return name_; }
    Runtime& runtime() const { return runtime_; }

    // Loading a loaded form does nothing. Loading builds the controls from the definition, lets the
    // back end create the window (hidden), binds the controls and handlers, runs Form_Load and
    // starts timers.
    void load();
    // Loads if needed, makes the form visible and brings it to the front.
    void show();
    void hide();
    // Runs Form_Unload and discards the controls; the next load starts from the definition.
    void unload();
    bool isLoaded() const { return loaded_; }
    bool isVisible() const { return loaded_ && visible_; }

    // A control by its name in the definition, for binding it once on load (and for tests). The
    // form must be loaded: asking an unloaded form for a control is a fault of the caller
    // (std::logic_error), never a reason to load it.
    Control& ctl(std::string_view name);
    Control& operator[](std::string_view name) { return ctl(name); }
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    // The children of a frame, menu or tab strip, in definition order.
    std::vector<Control*> childrenOf(std::string_view parent) const;
    // Whether a control shows in the window: it and its containers visible, on the tab shown;
    // menu items show only in their popup. The window's own visibility is not considered.
    bool shows(const Control& control) const;
    // The buttons Enter and Esc click, as in a dialog: the definition's default and cancel
    // buttons, when they show and are enabled; null otherwise.
    Control* defaultButton() const;
    Control* cancelButton() const;
    // The control a window gives the focus when it first opens: an alert's default button; else
    // the first control in the tab order that shows, is enabled and takes the focus (a button,
    // option, list, combo box, calendar or tab strip). Never a link, which Tab reaches: Enter on a
    // window just opened does not follow it. Null: the window itself takes the keys.
    Control* firstFocus() const;
    // The controls Tab visits, in the tab order (controls without a tab index after those with
    // one, in definition order): those that show, are enabled and take the focus, links too; of a
    // group of option buttons only the selected one (the first when none is), as in a dialog.
    std::vector<Control*> tabOrder() const;
    // Where Tab (forward) or Shift+Tab moves the focus from `from` (null: nothing has it), round
    // the tab order; null when nothing takes the focus.
    Control* nextFocus(const Control* from, bool forward) const;
    // What Enter clicks with `focused` having the focus: a focused button or link, else the
    // default button; null when nothing.
    Control* enterTarget(const Control* focused) const;
    // The item of a popup menu whose access key ("&F" in its caption) is `key`, in either case;
    // null when none has it, or it cannot be chosen (disabled, hidden).
    Control* accessKeyItem(const Control& menu, char key) const;
    // The name assistive technology reads for a control: its label's caption when the definition
    // names one, else the definition's own text for it, else its caption.
    std::string accessibleName(const Control& control) const;

    // Form properties (twips). Meaningful while loaded.
    const FormDef& def() const { return def_; }
    const std::string& caption() const { return def_.caption; }
    void setCaption(std::string caption);
    int left() const { return left_; }
    int top() const { return top_; }
    int width() const;   // outer size in twips, from the back end
    int height() const;
    void move(int left, int top);
    Icon icon() const { return def_.icon; }
    void setIcon(Icon icon);

    // Greys the Close command: the close box and Alt+F4 no longer close the form.
    void disableCloseCommand();
    bool closeDisabled() const { return closeDisabled_; }

    // Shows a popup menu at the mouse position, or at `at` (a context menu's anchor); `closed`
    // runs when it has closed, after the chosen item's onClick, if any, and says whether an item
    // was chosen.
    void popupMenu(Control& menu, PopupButtons buttons, std::function<void()> closed = {});
    void popupMenu(Control& menu, PopupButtons buttons, std::optional<ScreenPoint> at,
                   std::function<void(bool chosen)> closed);

    // The back end's own object for this form.
    void* native = nullptr;

protected:
    // Binds the new controls to the form's members and their events to its handlers; runs on
    // each load, before loaded().
    virtual void bind() {}
    virtual void loaded() {}
    virtual void unloading() {}
    // The close box or Alt+F4; by default the form unloads.
    virtual void closeRequested() { unload(); }

private:
    friend class Runtime;
    friend class Control;

    Runtime& runtime_;
    FormDef (*define_)();
    std::string name_;
    FormDef def_;
    std::vector<std::unique_ptr<Control>> controls_;
    bool loaded_ = false;
    bool visible_ = false;
    bool shownSinceLoad_ = false;  // a form centred on the screen is centred when first shown
    bool closeDisabled_ = false;
    int left_ = 0;
    int top_ = 0;
};

}  // namespace qm::ui
