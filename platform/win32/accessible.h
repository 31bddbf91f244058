// What screen readers read of the program's windows: Windows' own accessible object for each
// window (oleacc's), with the role, the name and the rows that only the program knows. oleacc is
// loaded when a reader first asks, so the program needs no DLL beyond those it always loads.
#pragma once

#include <windows.h>

#include <string>

namespace qm::ui {
class Control;
}

namespace qm::win32 {

// What a window says of itself where Windows' own object would say less, or something wrong.
struct AccessibleFace {
    long role = 0;                       // 0: as Windows' object says
    std::wstring name;                   // empty: as Windows' object says
    const ui::Control* rows = nullptr;   // a list box whose rows are its model's, one element each
    long state = 0;                      // states beyond Windows' own (a link's)
    std::wstring action;                 // a default action, done as a click its parent hears
};

// Fills in what a window of the program says of itself; false once the window is no longer one.
// Asked anew at every question, so that the answer follows the window and never outlives it.
using DescribeWindow = bool (*)(HWND window, AccessibleFace& face);

// The answer to WM_GETOBJECT: for the client area, Windows' object with what `describe` adds; 0
// (let Windows answer) for any other object, or where oleacc is missing.
LRESULT answerGetObject(HWND window, WPARAM wParam, LPARAM lParam, DescribeWindow describe);

// Tells screen readers that a window's client area changed (EVENT_OBJECT_NAMECHANGE and the like).
void announce(DWORD event, HWND window);

}  // namespace qm::win32
