// A function of a system DLL found at run time, for calls that older Windows lacks or that live in
// a DLL the program does not link.
#pragma once

#include <windows.h>

namespace qm::win32 {

// The function `name` of `module` as type F; null when the module or the function is missing.
template <class F>
F moduleFunction(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace qm::win32
