// The program folder on Windows: the folder of the running executable, from GetModuleFileNameW,
// and where its schedule is.
// clang-format off
#include <windows.h>  // first: the shell's headers need its types
// clang-format on

#include <knownfolders.h>
#include <shlobj.h>

#include <cwchar>
#include <string>

#include "platform/program_folder_lookup.h"
#include "platform/schedule_home.h"
#include "platform/win32/wide.h"

namespace qm {

namespace {

std::wstring executableFolder() {
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (n == 0) return L".";
        if (n < exe.size()) {  // n == size means the name was cut short
            exe.resize(n);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    // "C:\Tools\Quietus.exe" gives "C:\Tools"; in a drive's root it gives "C:", never "C:\".
    const auto slash = exe.find_last_of(L"\\/");
    return exe.substr(0, slash == std::wstring::npos ? 0 : slash);
}

std::wstring knownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::wstring out;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path) out = path;
    ::CoTaskMemFree(path);
    return out;
}

// `path` is `folder` or inside it, whatever the letters' case.
bool isWithin(const std::wstring& path, const std::wstring& folder) {
    if (folder.empty() || path.size() < folder.size()) return false;
    if (::CompareStringOrdinal(path.data(), static_cast<int>(folder.size()), folder.data(),
                               static_cast<int>(folder.size()), TRUE) != CSTR_EQUAL)
        return false;
    return path.size() == folder.size() || path[folder.size()] == L'\\' || path[folder.size()] == L'/';
}

// Under any Program Files folder: a 32-bit program sees the 64-bit one only through ProgramW6432.
bool isInstalled(const std::wstring& folder) {
    wchar_t native[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"ProgramW6432", native, MAX_PATH);
    return isWithin(folder, knownFolder(FOLDERID_ProgramFiles)) ||
           isWithin(folder, knownFolder(FOLDERID_ProgramFilesX86)) ||
           (n > 0 && n < MAX_PATH && isWithin(folder, native));
}

// Whether a new file may be made there: only trying tells, since rights come from the folder's
// access list, a share's settings or a locked-down machine's policy. The trial file is gone when
// its handle closes, even if the program were killed in between.
bool takesNewFiles(const std::wstring& folder) {
    const std::wstring trial = folder + L"\\Dtddta.wet." + std::to_wstring(::GetCurrentProcessId()) + L".trial";
    const HANDLE file = ::CreateFileW(trial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

}  // namespace

ProgramFolder runningProgramFolder(std::string_view scheduleName) {
    const std::wstring folder = executableFolder();
    ProgramFolder found{narrow(folder), '\\'};
    ProgramPlace place{
        .scheduleBeside = ::GetFileAttributesW(widen(found.path(scheduleName)).c_str()) != INVALID_FILE_ATTRIBUTES,
        .installed = isInstalled(folder),
    };
    if (!place.scheduleBeside) {
        place.writable = takesNewFiles(folder);
        if (const std::wstring appData = knownFolder(FOLDERID_RoamingAppData); !appData.empty())
            place.userFolder = narrow(appData) + "\\QuietusMachine";
    }
    if (scheduleHome(place) == ScheduleHome::UserFolder) found.scheduleFolder = place.userFolder;
    return found;
}

}  // namespace qm
