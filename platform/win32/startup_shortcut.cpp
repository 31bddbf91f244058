// The shortcut in the user's Startup folder, written with the shell's own link object. The folder
// is found by FOLDERID_Startup, which knows its name on every language edition of Windows.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <memory>

#include "platform/win32/services.h"
#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

struct Release {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class T>
using ComPtr = std::unique_ptr<T, Release>;

Status failed(HRESULT result) {
    return Status::failure(systemMessage(static_cast<DWORD>(result)));
}

class Win32StartupShortcut final : public StartupShortcut {
public:
    // Windows names the user's Startup folder in the user's language; it is found by its id.
    Status create(const std::string& name, const std::string& program, const std::string& arguments) override {
        PWSTR startup = nullptr;
        if (const HRESULT found = SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_CREATE, nullptr, &startup);
            FAILED(found))
            return failed(found);
        const std::wstring folder = startup;
        CoTaskMemFree(startup);
        const std::wstring file = widen(program);
        const std::size_t slash = file.find_last_of(L"\\/");
        const std::wstring workingFolder =
            slash == std::wstring::npos ? std::wstring() : file.substr(0, slash);
        return writeShortcut(folder + L"\\" + widen(name) + L".lnk", file, widen(arguments), workingFolder);
    }
};

}  // namespace

Status writeShortcut(const std::wstring& linkPath, const std::wstring& target, const std::wstring& arguments,
                     const std::wstring& workingFolder) {
    // COM for the length of the call; a thread that already has it keeps its own.
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Status status = [&] {
        IShellLinkW* rawLink = nullptr;
        HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                          reinterpret_cast<void**>(&rawLink));
        if (FAILED(result)) return failed(result);
        ComPtr<IShellLinkW> link(rawLink);
        if (FAILED(result = link->SetPath(target.c_str()))) return failed(result);
        if (FAILED(result = link->SetArguments(arguments.c_str()))) return failed(result);
        if (FAILED(result = link->SetWorkingDirectory(workingFolder.c_str()))) return failed(result);
        IPersistFile* rawFile = nullptr;
        if (FAILED(result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) {
            return failed(result);
        }
        ComPtr<IPersistFile> file(rawFile);
        if (FAILED(result = file->Save(linkPath.c_str(), TRUE))) return failed(result);
        return Status::success();
    }();
    if (SUCCEEDED(init)) CoUninitialize();
    return status;
}

std::unique_ptr<StartupShortcut> makeStartupShortcut() {
    return std::make_unique<Win32StartupShortcut>();
}

}  // namespace qm::win32
