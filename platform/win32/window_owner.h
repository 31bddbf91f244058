// The program's own window classes, and the object behind each window of one: given to
// CreateWindowExW as the creation parameter, kept in GWLP_USERDATA from WM_NCCREATE on, and told
// its window handle there.
#pragma once

#include <windows.h>

namespace qm::win32 {

// A plain window class of this module, for a window that only receives messages (no cursor, no
// background). Registering it again fails harmlessly.
inline void registerPlainClass(const wchar_t* name, WNDPROC windowProc) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

// A message-only window of that plain class, whose owner is `owner` (see windowOwner); null when
// it could not be made.
inline HWND messageWindow(const wchar_t* windowClass, WNDPROC windowProc, void* owner) {
    registerPlainClass(windowClass, windowProc);
    return CreateWindowExW(0, windowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), owner);
}

template <class T>
T* windowOwner(HWND hwnd, UINT message, LPARAM lParam, HWND T::*handle) {
    if (message == WM_NCCREATE) {
        if (auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams)) {
            self->*handle = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace qm::win32
