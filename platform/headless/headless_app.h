// The whole program on the headless back end, with a user's hands and eyes: start it over a
// program folder at a given moment, let virtual time pass, click, select, type, answer message
// boxes and pick menu items, and read what the windows show. The real file system and Shift_JIS
// codec serve the program folder; the desktop services are recording fakes.
//
// Like a real user, the helper cannot reach what is not on the screen: acting on a hidden form,
// a control on another tab, a disabled control, or anything while a message box or popup menu is
// open throws std::logic_error. Reading never loads a form.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/program.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/recording_services.h"
#include "platform/headless/virtual_clock.h"
#include "platform/services.h"
#include "platform/ui/runtime.h"

namespace qm::headless {

class HeadlessApp {
public:
    // The program folder must exist; the schedule file, the help page and the read-me are
    // looked for there.
    // `scheduleFolder`: where the schedule lives when not beside the program (an installed one's).
    HeadlessApp(std::string programFolder, VirtualTime start, std::string scheduleFolder = {});
    HeadlessApp(const HeadlessApp&) = delete;
    HeadlessApp& operator=(const HeadlessApp&) = delete;

    // Starts the program as the OS would.
    void start();
    // Lets time pass in 100 ms steps; timers tick, also while a modal piece is open.
    void advance(std::chrono::milliseconds by);

    // The user's hands.
    void click(std::string_view form, std::string_view control);
    void select(std::string_view form, std::string_view list, int index);
    void select(std::string_view form, std::string_view list, std::string_view item);
    void type(std::string_view form, std::string_view combo, std::string text);
    void pickComboItem(std::string_view form, std::string_view combo, std::string_view item);
    void switchTab(std::string_view form, std::string_view tabStrip, int tab);
    // Sets the calendar's day, then raises its click, as a click on that day does.
    void clickCalendarDay(std::string_view form, std::string_view calendar, std::chrono::year_month_day day);
    void mouseDown(std::string_view form, std::string_view control, int button);
    // A key pressed while `control` has the focus.
    void press(std::string_view form, std::string_view control, ui::Key key);
    // A key pressed in a shown window, going to the control with the focus (see
    // HeadlessBackend::keyPressed).
    void press(std::string_view form, Keystroke key);
    // The control with the focus in a shown window; empty when none has it.
    std::string focused(std::string_view form) const;
    // The right button pressed and released over a control: a mouse press, then its context menu
    // at the mouse.
    void rightClick(std::string_view form, std::string_view control);
    // Shift+F10 or the menu key on a control: its context menu, anchored at the control.
    void pressMenuKey(std::string_view form, std::string_view control);
    // A click on the tray icon, released over it; with `anchor` one made from the keyboard.
    void trayClick(TrayClick click, TrayAnchor anchor = std::nullopt);
    // The close box, Alt+F4 or the system menu's Close; a greyed Close command does nothing.
    void pressCloseBox(std::string_view form);

    // Modal pieces.
    std::vector<HeadlessBackend::MessageBox> messageBoxes() const { return backend.messageBoxes(); }
    void answerMessageBox(ui::MessageBoxAnswer answer = ui::MessageBoxAnswer::Ok);
    struct MenuItem {
        std::string name;
        std::string caption;
        bool enabled = true;
    };
    // The open popup menu's items, in order; nullopt when no menu is open.
    std::optional<std::vector<MenuItem>> popupMenu() const;
    void pickMenuItem(std::string_view nameOrCaption);
    // Types an access key in the open menu.
    void pressMenuAccessKey(char key);
    // Where the open menu opened; nullopt at the mouse.
    std::optional<ui::ScreenPoint> menuAnchor() const;
    void dismissMenu();

    // The user's eyes.
    const ui::Form& form(std::string_view name) const;
    bool isLoaded(std::string_view form) const { return this->form(form).isLoaded(); }
    // Shown, and the program still running.
    bool isVisible(std::string_view form) const;
    // Shown and at least partly within the screen.
    bool isOnScreen(std::string_view form) const;
    // A control of a loaded form; throws when the form is not loaded (reading never loads it).
    const ui::Control& control(std::string_view form, std::string_view name) const;
    const std::string& caption(std::string_view form, std::string_view control) const {
        return this->control(form, control).caption();
    }
    std::vector<std::string> items(std::string_view form, std::string_view list) const {
        return control(form, list).items();
    }
    // The settings window's list as it stands, whether or not the window is loaded.
    std::vector<std::string> settingsList() const { return program.scheduleList.lines(); }
    // Whether the user can see a control: its form shown, it and its containers visible, on
    // the current tab.
    bool canSee(std::string_view form, std::string_view control) const;

    bool ended() const { return runtime.ended(); }
    std::optional<int> exitCode() const { return backend.exitCode(); }
    const ProgramFolder& folder() const { return services.folder; }

    // The program and everything it runs on, open to inspection.
    VirtualClock clock;
    std::unique_ptr<TextCodec> codec;
    FallibleFileSystem files;
    RecordingSessionEnd session;
    RecordingTrayIcon tray;
    RecordingShell shell;
    RecordingStartupShortcut shortcut;
    SettableSingleInstance instance;
    ManualFolderWatcher watcher;
    LoopbackControlChannel channel;
    VirtualIdleSource idle{clock};
    ManualProcessWatch processes;
    HeadlessBackend backend;
    ui::Runtime runtime;
    Services services;
    Program program;

private:
    ui::Form& mutableForm(std::string_view name) const;
    ui::Control* find(const ui::Form& form, std::string_view name) const;
    // The control the user is about to act on; throws when the user could not reach it.
    ui::Control& reach(std::string_view form, std::string_view control, const char* action) const;
    void requireNoModal(const char* action) const;
};

}  // namespace qm::headless
