// Opening documents and addresses through the shell's "open" action.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <shellapi.h>

#include "platform/win32/services.h"
#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

class Win32Shell final : public Shell {
public:
    std::uintptr_t desktopWindow() const override {
        return reinterpret_cast<std::uintptr_t>(GetDesktopWindow());
    }

    std::intptr_t open(std::uintptr_t owner, const std::string& verb, const std::string& document,
                       const std::optional<std::string>& parameters, const std::string& folder,
                       int showCommand) override {
        const std::wstring wideParameters = parameters ? widen(*parameters) : std::wstring();
        HINSTANCE result =
            ShellExecuteW(reinterpret_cast<HWND>(owner), widen(verb).c_str(), widen(document).c_str(),
                          parameters ? wideParameters.c_str() : nullptr, widen(folder).c_str(), showCommand);
        return reinterpret_cast<std::intptr_t>(result);
    }
};

}  // namespace

std::unique_ptr<Shell> makeShell() {
    return std::make_unique<Win32Shell>();
}

}  // namespace qm::win32
