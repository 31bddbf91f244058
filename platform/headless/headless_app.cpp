// The headless program with a user's hands and eyes.
#include "platform/headless/headless_app.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "platform/os_services.h"

namespace qm::headless {

namespace {

std::string describe(std::string_view form, std::string_view control) {
    return std::string(form) + "." + std::string(control);
}

}  // namespace

HeadlessApp::HeadlessApp(std::string programFolder, VirtualTime start, std::string scheduleFolder)
    : clock(start),
      codec(makeShiftJisCodec()),
      files(makeFileSystem()),
      backend(clock),
      runtime(backend),
      services{
          .clock = clock,
          .codec = *codec,
          .files = files,
          .folder = {.folder = std::move(programFolder),
                     .separator = static_cast<char>(std::filesystem::path::preferred_separator),
                     .scheduleFolder = std::move(scheduleFolder)},
          .session = session,
          .tray = tray,
          .shell = shell,
          .shortcut = shortcut,
          .instance = instance,
          .watcher = watcher,
          .control = channel,
          .idle = idle,
          .processes = processes,
      },
      program(runtime, services) {
    backend.attach(runtime);
}

void HeadlessApp::start() {
    program.start();
}

void HeadlessApp::advance(std::chrono::milliseconds by) {
    backend.advance(by);
}

// --- reading -------------------------------------------------------------------------------

ui::Form& HeadlessApp::mutableForm(std::string_view name) const {
    ui::Form* form = runtime.find(name);
    if (!form) throw std::invalid_argument("no form " + std::string(name));
    return *form;
}

const ui::Form& HeadlessApp::form(std::string_view name) const {
    return mutableForm(name);
}

ui::Control* HeadlessApp::find(const ui::Form& form, std::string_view name) const {
    for (const auto& c : form.controls()) {
        if (c->name() == name) return c.get();
    }
    return nullptr;
}

const ui::Control& HeadlessApp::control(std::string_view formName, std::string_view name) const {
    const ui::Form& f = form(formName);
    if (!f.isLoaded()) throw std::logic_error(std::string(formName) + " is not loaded");
    const ui::Control* c = find(f, name);
    if (!c) throw std::invalid_argument("no control " + describe(formName, name));
    return *c;
}

bool HeadlessApp::isVisible(std::string_view name) const {
    return !ended() && form(name).isVisible();
}

bool HeadlessApp::isOnScreen(std::string_view name) const {
    if (!isVisible(name)) return false;
    const ui::Form& f = form(name);
    const ui::Size screen = backend.screenSize();
    return f.left() < screen.width && f.top() < screen.height && f.left() + f.width() > 0 &&
           f.top() + f.height() > 0;
}

bool HeadlessApp::canSee(std::string_view formName, std::string_view name) const {
    if (!isVisible(formName)) return false;
    const ui::Form& f = form(formName);
    const ui::Control* c = find(f, name);
    return c && f.shows(*c);
}

// --- the user's hands ----------------------------------------------------------------------

void HeadlessApp::requireNoModal(const char* action) const {
    if (ended()) throw std::logic_error(std::string("cannot ") + action + ": the program has ended");
    if (!backend.messageBoxes().empty())
        throw std::logic_error(std::string("cannot ") + action + ": a message box is open");
    if (backend.openMenu())
        throw std::logic_error(std::string("cannot ") + action + ": a popup menu is open");
}

ui::Control& HeadlessApp::reach(std::string_view formName, std::string_view name, const char* action) const {
    requireNoModal(action);
    if (!isVisible(formName))
        throw std::logic_error(std::string("cannot ") + action + ": " + std::string(formName) +
                               " is not shown");
    ui::Control* c = find(form(formName), name);
    if (!c) throw std::invalid_argument("no control " + describe(formName, name));
    if (!canSee(formName, name))
        throw std::logic_error(std::string("cannot ") + action + ": " + describe(formName, name) +
                               " is not on the screen");
    for (const ui::Control* e = c; e;
         e = e->props().parent.empty() ? nullptr : find(form(formName), e->props().parent)) {
        if (!e->enabled())
            throw std::logic_error(std::string("cannot ") + action + ": " + describe(formName, name) +
                                   " is disabled");
    }
    return *c;
}

void HeadlessApp::click(std::string_view form, std::string_view control) {
    ui::Control& c = reach(form, control, "click");
    backend.focus(c);
    runtime.click(c);
}

void HeadlessApp::select(std::string_view form, std::string_view list, int index) {
    ui::Control& c = reach(form, list, "select");
    if (index < 0 || index >= c.listCount())
        throw std::out_of_range("no item " + std::to_string(index) + " in " + describe(form, list));
    backend.focus(c);
    c.syncListIndex(index);
    runtime.click(c);
}

void HeadlessApp::select(std::string_view form, std::string_view list, std::string_view item) {
    const auto items = control(form, list).items();
    auto it = std::find(items.begin(), items.end(), item);
    if (it == items.end())
        throw std::out_of_range("no item " + std::string(item) + " in " + describe(form, list));
    select(form, list, static_cast<int>(it - items.begin()));
}

void HeadlessApp::type(std::string_view form, std::string_view combo, std::string text) {
    ui::Control& c = reach(form, combo, "type");
    if (c.kind() != ui::Kind::ComboBox) throw std::logic_error(describe(form, combo) + " has no edit field");
    c.syncText(std::move(text));
}

void HeadlessApp::pickComboItem(std::string_view form, std::string_view combo, std::string_view item) {
    ui::Control& c = reach(form, combo, "pick");
    const auto items = c.items();
    auto it = std::find(items.begin(), items.end(), item);
    if (it == items.end())
        throw std::out_of_range("no item " + std::string(item) + " in " + describe(form, combo));
    c.syncListIndex(static_cast<int>(it - items.begin()));
    c.syncText(*it);
}

void HeadlessApp::switchTab(std::string_view form, std::string_view tabStrip, int tab) {
    ui::Control& c = reach(form, tabStrip, "switch tabs");
    if (tab < 0 || tab >= static_cast<int>(c.props().tabs.size()))
        throw std::out_of_range("no tab " + std::to_string(tab));
    c.syncCurrentTab(tab);
}

void HeadlessApp::clickCalendarDay(std::string_view form, std::string_view calendar,
                                   std::chrono::year_month_day day) {
    ui::Control& c = reach(form, calendar, "click a day");
    c.syncDate(day);
    runtime.click(c);
}

void HeadlessApp::press(std::string_view form, std::string_view control, ui::Key key) {
    runtime.keyDown(reach(form, control, "press a key on"), key);
}

void HeadlessApp::mouseDown(std::string_view form, std::string_view control, int button) {
    runtime.mouseDown(reach(form, control, "press a mouse button"), button, 0, 0, 0);
}

void HeadlessApp::press(std::string_view formName, Keystroke key) {
    requireNoModal("press a key");
    if (!isVisible(formName))
        throw std::logic_error("cannot press a key: " + std::string(formName) + " is not shown");
    backend.keyPressed(mutableForm(formName), key);
}

std::string HeadlessApp::focused(std::string_view formName) const {
    const ui::Control* c = isVisible(formName) ? backend.focused(form(formName)) : nullptr;
    return c ? c->name() : std::string();
}

namespace {

// A control's top left on the headless screen (96 dpi, no frames), in pixels.
ui::ScreenPoint screenPlace(const ui::Control& c) {
    constexpr int kTwipsPerPixel = 15;
    return {(c.form().left() + c.props().rect.left) / kTwipsPerPixel,
            (c.form().top() + c.props().rect.top) / kTwipsPerPixel};
}

}  // namespace

void HeadlessApp::rightClick(std::string_view form, std::string_view control) {
    ui::Control& c = reach(form, control, "press a mouse button");
    const ui::ScreenPoint mouse = screenPlace(c);
    runtime.mouseDown(c, ui::kRightButton, 0, 0, 0);
    if (!ended() && c.form().isLoaded()) runtime.contextMenu(c, {.anchor = mouse});
}

void HeadlessApp::pressMenuKey(std::string_view form, std::string_view control) {
    ui::Control& c = reach(form, control, "press the menu key on");
    backend.focus(c);
    runtime.contextMenu(c, {.anchor = screenPlace(c), .fromKeyboard = true});
}

void HeadlessApp::trayClick(TrayClick click, TrayAnchor anchor) {
    requireNoModal("use the tray icon");
    if (!tray.click(click, anchor)) throw std::logic_error("cannot use the tray icon: there is none");
}

void HeadlessApp::pressCloseBox(std::string_view formName) {
    requireNoModal("close a window");
    ui::Form& f = mutableForm(formName);
    if (!isVisible(formName))
        throw std::logic_error("cannot close " + std::string(formName) + ": it is not shown");
    if (!f.def().controlBox)
        throw std::logic_error("cannot close " + std::string(formName) + ": it has no close box");
    runtime.closeRequested(f);
}

// --- modal pieces --------------------------------------------------------------------------

void HeadlessApp::answerMessageBox(ui::MessageBoxAnswer answer) {
    if (!backend.answerMessageBox(answer)) throw std::logic_error("no message box with that button is open");
}

std::optional<std::vector<HeadlessApp::MenuItem>> HeadlessApp::popupMenu() const {
    const auto open = backend.openMenu();
    if (!open) return std::nullopt;
    std::vector<MenuItem> items;
    for (const ui::Control* item : open->form->childrenOf(open->menu->name())) {
        if (item->visible()) items.push_back({item->name(), item->caption(), item->enabled()});
    }
    return items;
}

void HeadlessApp::pickMenuItem(std::string_view nameOrCaption) {
    if (!backend.openMenu()) throw std::logic_error("no popup menu is open");
    if (!backend.pickMenuItem(std::string(nameOrCaption)))
        throw std::logic_error("cannot pick " + std::string(nameOrCaption) + " from the popup menu");
}

void HeadlessApp::pressMenuAccessKey(char key) {
    if (!backend.openMenu()) throw std::logic_error("no popup menu is open");
    if (!backend.pickMenuAccessKey(key))
        throw std::logic_error(std::string("no item of the popup menu has the access key ") + key);
}

std::optional<ui::ScreenPoint> HeadlessApp::menuAnchor() const {
    const auto open = backend.openMenu();
    if (!open) throw std::logic_error("no popup menu is open");
    return open->at;
}

void HeadlessApp::dismissMenu() {
    if (!backend.dismissMenu()) throw std::logic_error("no popup menu is open");
}

}  // namespace qm::headless
