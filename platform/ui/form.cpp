// The form/control model: property changes reach the bound back end; forms load from their
// definition and unload back to nothing.
#include "platform/ui/form.h"

#include <algorithm>
#include <stdexcept>

#include "platform/ui/runtime.h"

namespace qm::ui {

Control::Control(Form& form, ControlDef def) : form_(form), p_(std::move(def)) {}

void Control::changed(Prop prop) {
    if (form_.isLoaded()) form_.runtime().backend().changed(*this, prop);
}

void Control::setCaption(std::string caption) {
    if (p_.caption == caption) return;
    p_.caption = std::move(caption);
    changed(Prop::Caption);
}

void Control::setRect(Rect rect) {
    if (p_.rect == rect) return;
    p_.rect = rect;
    changed(Prop::Rect);
}

void Control::setForeColour(Colour colour) {
    if (p_.foreColour == colour) return;
    p_.foreColour = colour;
    changed(Prop::ForeColour);
}

void Control::setEnabled(bool enabled) {
    if (p_.enabled == enabled) return;
    p_.enabled = enabled;
    if (p_.kind == Kind::Timer) {
        if (form_.isLoaded()) form_.runtime().backend().timerChanged(*this);
    } else {
        changed(Prop::Enabled);
    }
}

void Control::setVisible(bool visible) {
    if (p_.visible == visible) return;
    p_.visible = visible;
    changed(Prop::Visible);
}

void Control::setIcon(Icon icon) {
    if (p_.icon == icon) return;
    p_.icon = icon;
    changed(Prop::Icon);
}

void Control::setValue(bool value) {
    if (value && p_.kind == Kind::Option) {
        for (Control* sibling : form_.childrenOf(p_.parent)) {
            if (sibling != this && sibling->kind() == Kind::Option && sibling->p_.value) {
                sibling->p_.value = false;
                sibling->changed(Prop::Value);
            }
        }
    }
    if (p_.value == value) return;
    p_.value = value;
    changed(Prop::Value);
}

void Control::addItem(std::string item) {
    items_.push_back(std::move(item));
    changed(Prop::Items);
}

void Control::removeItem(int index) {
    if (index < 0 || index >= listCount()) throw std::out_of_range("removeItem: no item " + std::to_string(index));
    items_.erase(items_.begin() + index);
    // The selection goes with the removed item; a later one keeps pointing at its item.
    if (listIndex_ == index) {
        listIndex_ = -1;
    } else if (listIndex_ > index) {
        --listIndex_;
    }
    changed(Prop::Items);
}

void Control::clear() {
    items_.clear();
    listIndex_ = -1;
    changed(Prop::Items);
}

void Control::setListIndex(int index) {
    if (index < -1 || index >= listCount()) throw std::out_of_range("setListIndex: no item " + std::to_string(index));
    if (listIndex_ == index) return;
    listIndex_ = index;
    changed(Prop::ListIndex);
}

void Control::setInterval(int ms) {
    if (p_.interval == ms) return;
    p_.interval = ms;
    if (form_.isLoaded()) form_.runtime().backend().timerChanged(*this);
}

void Control::setDate(std::chrono::year_month_day date) {
    if (date_ == date) return;
    date_ = date;
    changed(Prop::Date);
}

void Control::setCurrentTab(int tab) {
    if (currentTab_ == tab) return;
    currentTab_ = tab;
    changed(Prop::CurrentTab);
}

Form::Form(Runtime& runtime, FormDef (*define)()) : runtime_(runtime), define_(define), def_(define()) {
    name_ = def_.name;
    runtime_.registerForm(*this);
}

Form::~Form() { runtime_.unregisterForm(*this); }

void Form::load() {
    if (loaded_ || runtime_.ended()) return;
    def_ = define_();
    controls_.clear();
    for (const ControlDef& c : def_.controls) controls_.push_back(std::make_unique<Control>(*this, c));
    visible_ = false;
    shownSinceLoad_ = false;
    closeDisabled_ = false;
    left_ = 0;
    top_ = 0;
    loaded_ = true;
    runtime_.backend().created(*this);
    bindEvents();
    for (auto& c : controls_) {
        if (c->kind() == Kind::Timer) runtime_.backend().timerChanged(*c);
    }
    Form_Load();
}

void Form::show() {
    load();
    if (!loaded_) return;
    if (def_.startPosition == StartPosition::CentreScreen && !shownSinceLoad_) {
        const Size screen = runtime_.backend().screenSize();
        move((screen.width - width()) / 2, (screen.height - height()) / 2);
    }
    visible_ = true;
    shownSinceLoad_ = true;
    runtime_.backend().shown(*this);
}

void Form::hide() {
    if (!loaded_ || !visible_) return;
    visible_ = false;
    runtime_.backend().hidden(*this);
}

void Form::unload() {
    if (!loaded_) return;
    Form_Unload();
    if (!loaded_) return;  // the handler may have unloaded already
    loaded_ = false;
    visible_ = false;
    runtime_.backend().destroyed(*this);
    runtime_.retire(std::move(controls_));
    controls_.clear();
    native = nullptr;
}

Control& Form::ctl(std::string_view name) {
    load();
    auto it = std::find_if(controls_.begin(), controls_.end(), [&](const auto& c) { return c->name() == name; });
    if (it == controls_.end()) throw std::out_of_range(name_ + " has no control " + std::string(name));
    return **it;
}

std::vector<Control*> Form::childrenOf(std::string_view parent) const {
    std::vector<Control*> out;
    for (const auto& c : controls_) {
        if (c->props().parent == parent) out.push_back(c.get());
    }
    return out;
}

void Form::setCaption(std::string caption) {
    if (def_.caption == caption) return;
    def_.caption = std::move(caption);
    if (loaded_) runtime_.backend().formChanged(*this, FormProp::Caption);
}

int Form::width() const { return runtime_.backend().outerSize(*this).width; }
int Form::height() const { return runtime_.backend().outerSize(*this).height; }

void Form::move(int left, int top) {
    left_ = left;
    top_ = top;
    if (loaded_) runtime_.backend().formChanged(*this, FormProp::Position);
}

void Form::setIcon(Icon icon) {
    if (def_.icon == icon) return;
    def_.icon = icon;
    if (loaded_) runtime_.backend().formChanged(*this, FormProp::Icon);
}

void Form::disableCloseCommand() {
    load();
    closeDisabled_ = true;
    runtime_.backend().disableCloseCommand(*this);
}

void Form::popupMenu(Control& menu, int flags, std::function<void()> closed) {
    load();
    runtime_.backend().popupMenu(*this, menu, flags, [this, closed = std::move(closed)] { runtime_.run(closed); });
}

}  // namespace qm::ui
