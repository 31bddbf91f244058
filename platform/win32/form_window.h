// One loaded form as a native window: its controls, fonts, tooltips and timers, and the window
// procedure that turns the user's actions into the runtime's events. It only builds, mirrors and
// reports; what a click means is the form's business.
#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "platform/ui/form.h"
#include "platform/ui/runtime.h"
#include "platform/win32/accessible.h"
#include "platform/win32/fonts.h"
#include "platform/win32/real_time_alarm.h"

namespace qm::win32 {

class Win32Backend;

class FormWindow {
public:
    FormWindow(Win32Backend& backend, ui::Form& form);
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    ~FormWindow();

    // The window and its controls, hidden, at the form's position.
    void create();
    // Destroys the native window; events that arrive meanwhile are no longer reported.
    void destroy();

    HWND hwnd() const { return hwnd_; }
    ui::Form& form() const { return form_; }
    int dpi() const { return dpi_; }

    void show();
    void hide();
    void formChanged(ui::FormProp prop);
    void changed(ui::Control& control, ui::Prop prop);
    void listChanged(ui::Control& control, const ui::ListChange& change);
    void timerChanged(ui::Control& timer);
    void disableCloseCommand();
    SIZE outerPixels() const;

    // The control a child window belongs to; nullptr for windows of our own (tooltips).
    ui::Control* controlOf(HWND child) const;
    static HWND nativeOf(const ui::Control& control) { return static_cast<HWND>(control.native); }
    // What a form's window, or a control on one, says to screen readers (a DescribeWindow).
    static bool describe(HWND window, AccessibleFace& face);

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onCommand(WPARAM wParam, LPARAM lParam);
    LRESULT onNotify(const NMHDR& header);
    LRESULT onColour(HDC dc, HWND child);
    // Keys (form_keys.cpp): Enter, Esc, the Delete key on a list, context menus.
    LRESULT defaultButtonId() const;
    void dialogKey(WORD id);
    LRESULT listKey(ui::Control& list, WORD key);
    bool contextMenuAsked(ui::Control& control, LPARAM place);
    void onActivate(bool active);
    // Hands the foreground back to the window the user was in when this one appeared.
    void giveFocusBack();
    // The clock was set, the time zone changed or the machine resumed: every timer set for a
    // moment ticks, and its handler reads the clock and sets it again.
    void clockChanged();
    void onDpiChanged(int dpi, const RECT& suggested);
    void fitClientArea();

    // Controls (form_controls.cpp).
    void createControls();
    HWND createControl(ui::Control& control, int index, bool firstOfGroup);
    void layout();
    void applyVisibility();
    RECT pixelRect(const ui::Control& control) const;
    const ui::Control* container(const ui::Control& control) const;
    void applyFont(ui::Control& control);
    HFONT fittingFont(const ui::Control& control);
    // Painting (form_painting.cpp).
    void autoSize(ui::Control& control);
    void drawLabel(ui::Control& label, const DRAWITEMSTRUCT& item);
    int labelLift(const ui::Control& label, const TEXTMETRICW& metrics) const;
    void paintBackground(HDC dc);
    // What shows behind a control: its own colour, its tab's page, or the form's face colour.
    COLORREF backgroundOf(const ui::Control& control);
    HBRUSH backgroundBrush(const ui::Control& control);
    COLORREF pageColour(const ui::Control& tabStrip);
    // List and combo boxes (form_lists.cpp).
    void applySelection(ui::Control& control);
    void applyItemHeight(ui::Control& list);
    void drawListItem(ui::Control& list, const DRAWITEMSTRUCT& item);
    // The row a key typed on the list moves to, as WM_CHARTOITEM answers (-2: none).
    int rowForKey(const ui::Control& list, wchar_t key, int caret) const;
    void applyTooltip(ui::Control& control);
    void applyIcon(ui::Control& control);
    void applyDate(ui::Control& control);
    int indexOf(const ui::Control& control) const;
    ui::Control* controlAt(int id) const;
    HBRUSH brush(ui::Colour colour);

    Win32Backend& backend_;
    ui::Form& form_;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND lastFocus_ = nullptr;
    HWND returnTo_ = nullptr;  // the user's window when this one appeared
    int dpi_ = 96;
    bool dying_ = false;
    FontCache fonts_;
    std::map<ui::Colour, HBRUSH> brushes_;
    std::map<const ui::Control*, COLORREF> pages_;  // sampled once per theme and DPI
    std::map<int, std::unique_ptr<RealTimeAlarm>> alarms_;  // by timer id, made when first set
};

// Child-window ids start here, clear of IDOK and IDCANCEL, which the dialog keys send.
inline constexpr int kFirstControlId = 1000;
// A timer's alarm rang: wParam is the timer's id.
inline constexpr UINT kAlarmMessage = WM_APP + 0x100;
// The tray's window was activated: it hands the foreground back to the user's window.
inline constexpr UINT kGiveBackMessage = WM_APP + 0x101;

// Reports the mouse buttons pressed on a list or combo box to the runtime as `control`'s.
void listenForMouseDowns(HWND hwnd, ui::Control& control);
// Enter and Space on a link click it, and its focus is drawn anew as it comes and goes.
void takeLinkKeys(HWND hwnd, ui::Control& link);
// Answers screen readers' questions to a control with what its form says of it.
void answerScreenReaders(HWND hwnd);

// How far a list row's text sits below the row's top (negative: above it). A line taller than its
// row, the font's em, is lifted by half the difference, rounded up: the room above its characters
// goes, the descenders stay.
int lineLift(HDC dc, const RECT& row);

// Colours are 0x00BBGGRR; a set top bit names a system colour, as form designers write them.
inline COLORREF colourRef(ui::Colour colour) {
    if (colour & 0x80000000u) return GetSysColor(static_cast<int>(colour & 0xFFu));
    return colour & 0x00FFFFFFu;
}

}  // namespace qm::win32
