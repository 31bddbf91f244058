// The program folder on Windows: the folder of the running executable, from GetModuleFileNameW.
#include <string>

#include "platform/program_folder_lookup.h"
#include "platform/win32/wide.h"

namespace qm {

ProgramFolder runningProgramFolder() {
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (n == 0) return {".", '\\'};
        if (n < exe.size()) {  // n == size means the name was cut short
            exe.resize(n);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    // "C:\Tools\Quietus.exe" gives "C:\Tools"; in a drive's root it gives "C:", never "C:\".
    const auto slash = exe.find_last_of(L"\\/");
    return {narrow(exe.substr(0, slash == std::wstring::npos ? 0 : slash)), '\\'};
}

}  // namespace qm
