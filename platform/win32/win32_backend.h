// The Win32 back end of the form model. Implemented features:
//  [x] forms as top-level windows: fixed borders, no minimise/maximise box where defined, kept off
//      the taskbar by a hidden owner, positions and sizes from twips at the window's DPI
//  [x] labels, push buttons, option buttons, frames, list boxes, combo boxes with an edit field,
//      images, lines, the comctl32 month calendar and tab control, tooltips
//  [x] list boxes without data of their own: they hold a count and draw the visible rows from the
//      model, so a list of a million lines costs what ten rows cost
//  [x] timers (SetTimer), popup menus (TrackPopupMenuEx), message boxes (MessageBoxW)
//  [x] the greyed Close command; the close box and Alt+F4 go to the runtime, never DestroyWindow
//  [x] keyboard navigation through IsDialogMessage; Enter and Esc click the default and cancel
//      buttons, Delete on a list box is the list's; WM_CONTEXTMENU (the right button's release,
//      Shift+F10, the menu key) is the control's context-menu event, its anchor in the event
//  [x] screen readers (MSAA, and UI Automation through it): forms are dialogs or alerts named by
//      their captions, labels text, images the traffic light's names, list rows the model's
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/ui/runtime.h"

namespace qm::win32 {

class FormWindow;

class Win32Backend final : public ui::Backend {
public:
    struct Options {
        int dpi = 0;  // 0: every window at its own DPI; else every window at this one (tests)
    };

    explicit Win32Backend(Options options);
    Win32Backend() : Win32Backend(Options{}) {}
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    void created(ui::Form& form) override;
    void destroyed(ui::Form& form) override;
    void shown(ui::Form& form) override;
    void hidden(ui::Form& form) override;
    void formChanged(ui::Form& form, ui::FormProp prop) override;
    void changed(ui::Control& control, ui::Prop prop) override;
    void listChanged(ui::Control& control, const ui::ListChange& change) override;
    void timerChanged(ui::Control& timer) override;
    ui::Size outerSize(const ui::Form& form) const override;
    ui::Size screenSize() const override;
    void popupMenu(ui::Form& form, ui::Control& menu, ui::PopupButtons buttons, std::optional<ui::ScreenPoint> anchor,
                   std::function<void(bool chosen)> closed) override;
    void messageBox(const std::string& text, const std::string& title, ui::MessageBoxButtons buttons,
                    std::function<void(ui::MessageBoxAnswer)> closed) override;
    void doEvents() override;
    void disableCloseCommand(ui::Form& form) override;
    void quit(int exitCode) override;

    // The message loop; returns only if the loop is told to quit (WM_QUIT).
    int run();

    // The native window of a loaded form; nullptr otherwise.
    HWND window(const ui::Form& form) const;
    // The DPI a window is laid out at (the fixed one, if set).
    int dpiFor(HWND window) const;
    // The DPI of screen coordinates: where forms are placed and how big the screen is.
    int screenDpi() const;
    // The never-shown window that owns forms kept off the taskbar.
    HWND hiddenOwner();
    // The window the user is in: the foreground window, or while the tray's window has the
    // foreground (its menu is open), the one that had it before.
    HWND userWindow();
    // A popup menu is open, its owner in the foreground for it.
    bool menuOpen() const { return menuOpen_; }

private:
    FormWindow* windowOf(const ui::Form& form) const;
    // Tab, arrow keys and the like for the form the message is meant for.
    bool dialogMessage(MSG& message) const;
    void dispatch(MSG& message) const;

    Options options_;
    std::map<const ui::Form*, std::unique_ptr<FormWindow>> windows_;
    // Windows of unloaded forms wait here until the outermost message loop comes round, since the
    // unload may have come from inside their own window procedure.
    std::vector<std::unique_ptr<FormWindow>> retired_;
    HWND owner_ = nullptr;
    HWND userWindow_ = nullptr;  // the last foreground window that was not the tray's
    bool menuOpen_ = false;
};

// Registers the window classes and the common controls (month calendar, tab control, tooltips).
void initialiseWindowClasses();
// The window class of every form's window.
const wchar_t* formClassName();

}  // namespace qm::win32
