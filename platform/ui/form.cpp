// The form/control model: property changes reach the bound back end; forms load from their
// definition and unload back to nothing.
#include "platform/ui/form.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "platform/ui/runtime.h"

namespace qm::ui {

Control::Control(Form& form, ControlDef def) : form_(form), p_(std::move(def)) {
    if (p_.kind == Kind::ListBox || p_.kind == Kind::ComboBox) {
        model_->watch(this, [this](const ListChange& change) { modelChanged(change); });
        attached_ = true;
    }
}

Control::~Control() { detach(); }

void Control::detach() {
    if (attached_) model_->unwatch(this);
    attached_ = false;
}

void Control::showModel(ListModel& model) {
    detach();
    model_ = &model;
    listIndex_ = -1;
    model_->watch(this, [this](const ListChange& change) { modelChanged(change); });
    attached_ = true;
    modelChanged({ListChange::Kind::Reset});
}

void Control::modelChanged(const ListChange& change) {
    // The selection stays on its item; a removed item takes it along.
    const auto index = static_cast<std::size_t>(listIndex_);
    switch (change.kind) {
        case ListChange::Kind::Reset:
            listIndex_ = -1;
            break;
        case ListChange::Kind::Inserted:
            if (listIndex_ >= 0 && index >= change.first) listIndex_ += static_cast<int>(change.count);
            break;
        case ListChange::Kind::Removed:
            if (listIndex_ >= 0 && index >= change.first) {
                listIndex_ = index < change.first + change.count ? -1 : listIndex_ - static_cast<int>(change.count);
            }
            break;
    }
    if (form_.isLoaded()) form_.runtime().backend().listChanged(*this, change);
}

StringListModel& Control::ownItems() {
    if (model_ != &ownItems_) throw std::logic_error(p_.name + " shows another model; edit that one");
    return ownItems_;
}

std::string Control::list(int index) const {
    if (index < 0 || index >= listCount()) throw std::out_of_range("list: no item " + std::to_string(index));
    return std::string(model_->item(static_cast<std::size_t>(index)));
}

std::vector<std::string> Control::items() const {
    std::vector<std::string> out;
    out.reserve(model_->size());
    for (std::size_t i = 0; i < model_->size(); ++i) out.emplace_back(model_->item(i));
    return out;
}

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

void Control::addItem(std::string item) { ownItems().append(std::move(item)); }

void Control::removeItem(int index) {
    if (index < 0 || index >= listCount()) throw std::out_of_range("removeItem: no item " + std::to_string(index));
    ownItems().remove(static_cast<std::size_t>(index));
}

void Control::clear() { ownItems().assign({}); }

void Control::setListIndex(int index) {
    if (index < -1 || index >= listCount()) throw std::out_of_range("setListIndex: no item " + std::to_string(index));
    if (listIndex_ == index) return;
    listIndex_ = index;
    changed(Prop::ListIndex);
}

void Control::setInterval(int ms) {
    if (p_.interval == ms && !deadline_) return;
    p_.interval = ms;
    deadline_.reset();
    if (form_.isLoaded()) form_.runtime().backend().timerChanged(*this);
}

void Control::tickAt(std::chrono::local_seconds at) {
    // Set again even when the moment is the same: the back end may have spent the last one.
    deadline_ = at;
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
    bind();
    for (auto& c : controls_) {
        if (c->kind() == Kind::Timer) runtime_.backend().timerChanged(*c);
    }
    loaded();
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
    unloading();
    if (!loaded_) return;  // the handler may have unloaded already
    loaded_ = false;
    visible_ = false;
    for (auto& c : controls_) c->detach();
    runtime_.backend().destroyed(*this);
    runtime_.retire(std::move(controls_));
    controls_.clear();
    native = nullptr;
}

Control& Form::ctl(std::string_view name) {
    if (!loaded_) throw std::logic_error(name_ + " is not loaded: no control " + std::string(name));
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

bool Form::shows(const Control& control) const {
    for (const Control* c = &control; c->visible();) {
        const std::string& parent = c->props().parent;
        if (parent.empty()) return true;
        auto it = std::find_if(controls_.begin(), controls_.end(), [&](const auto& p) { return p->name() == parent; });
        if (it == controls_.end() || (*it)->kind() == Kind::Menu) return false;
        if ((*it)->kind() == Kind::TabStrip && c->props().tab != (*it)->currentTab()) return false;
        c = it->get();
    }
    return false;
}

namespace {

Control* markedButton(const std::vector<std::unique_ptr<Control>>& controls, bool ControlDef::*mark,
                      const Form& form) {
    for (const auto& c : controls) {
        if (c->kind() == Kind::Button && c->props().*mark && c->enabled() && form.shows(*c)) return c.get();
    }
    return nullptr;
}

}  // namespace

Control* Form::defaultButton() const { return markedButton(controls_, &ControlDef::isDefault, *this); }

Control* Form::cancelButton() const { return markedButton(controls_, &ControlDef::isCancel, *this); }

namespace {

bool takesFocus(const Control& c) {
    switch (c.kind()) {
        case Kind::Button:
        case Kind::Option:
        case Kind::ListBox:
        case Kind::ComboBox:
        case Kind::Calendar:
        case Kind::TabStrip:
            return true;
        case Kind::Label:
            return c.props().link;
        default:
            return false;
    }
}

bool isLink(const Control* c) { return c && c->kind() == Kind::Label && c->props().link; }

}  // namespace

std::vector<Control*> Form::tabOrder() const {
    // Controls without a tab index come after those with one, in definition order.
    const auto order = [](const Control* c) {
        return c->props().tabIndex < 0 ? std::numeric_limits<int>::max() : c->props().tabIndex;
    };
    std::vector<Control*> out;
    for (const auto& c : controls_) {
        if (!takesFocus(*c) || !c->enabled() || !shows(*c)) continue;
        if (c->kind() == Kind::Option) {
            // The group's stop: its selected option, else its first one.
            const auto group = childrenOf(c->props().parent);
            Control* stop = nullptr;
            for (Control* o : group) {
                if (o->kind() != Kind::Option || !o->enabled() || !shows(*o)) continue;
                if (!stop || (o->value() && !stop->value())) stop = o;
            }
            if (stop != c.get()) continue;
        }
        out.push_back(c.get());
    }
    std::stable_sort(out.begin(), out.end(), [&](Control* a, Control* b) { return order(a) < order(b); });
    return out;
}

Control* Form::nextFocus(const Control* from, bool forward) const {
    const std::vector<Control*> order = tabOrder();
    if (order.empty()) return nullptr;
    const auto it = std::find(order.begin(), order.end(), from);
    if (it == order.end()) return forward ? order.front() : order.back();
    const auto at = static_cast<std::size_t>(it - order.begin());
    return order[(at + (forward ? 1 : order.size() - 1)) % order.size()];
}

Control* Form::firstFocus() const {
    if (def_.role == Role::Alert) {
        if (Control* answer = defaultButton()) return answer;
    }
    for (Control* c : tabOrder()) {
        if (!isLink(c)) return c;
    }
    return nullptr;
}

Control* Form::enterTarget(const Control* focused) const {
    if (focused && (isLink(focused) || focused->kind() == Kind::Button)) return const_cast<Control*>(focused);
    return defaultButton();
}

Control* Form::accessKeyItem(const Control& menu, char key) const {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (Control* item : childrenOf(menu.name())) {
        const std::string& caption = item->caption();
        const auto amp = caption.find('&');
        if (amp == std::string::npos || amp + 1 >= caption.size()) continue;
        if (lower(caption[amp + 1]) != lower(key)) continue;
        return item->enabled() && item->visible() ? item : nullptr;
    }
    return nullptr;
}

std::string Form::accessibleName(const Control& control) const {
    const ControlDef& p = control.props();
    if (!p.labelledBy.empty()) {
        for (const auto& c : controls_) {
            if (c->name() == p.labelledBy) return c->caption();
        }
    }
    if (!p.accessibleName.empty()) return p.accessibleName;
    return control.caption();
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

void Form::popupMenu(Control& menu, PopupButtons buttons, std::function<void()> closed) {
    popupMenu(menu, buttons, std::nullopt, [closed = std::move(closed)](bool) {
        if (closed) closed();
    });
}

void Form::popupMenu(Control& menu, PopupButtons buttons, std::optional<ScreenPoint> at,
                     std::function<void(bool chosen)> closed) {
    if (!loaded_) throw std::logic_error(name_ + " is not loaded: no menu " + menu.name());
    runtime_.backend().popupMenu(*this, menu, buttons, at, [this, closed = std::move(closed)](bool chosen) {
        runtime_.run([&] {
            if (closed) closed(chosen);
        });
    });
}

}  // namespace qm::ui
