// The object behind a window of one of the program's own classes: given to CreateWindowExW as the
// creation parameter, kept in GWLP_USERDATA from WM_NCCREATE on, and told its window handle there.
#pragma once

#include <windows.h>

namespace qm::win32 {

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
