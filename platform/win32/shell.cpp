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
    bool open(const std::string& document, const std::optional<std::string>& parameters) override {
        const std::wstring wideParameters = parameters ? widen(*parameters) : std::wstring();
        HINSTANCE result = ShellExecuteW(GetDesktopWindow(), L"open", widen(document).c_str(),
                                         parameters ? wideParameters.c_str() : nullptr, L"", SW_SHOW);
        // Anything above 32 is success; the rest are error codes.
        return reinterpret_cast<INT_PTR>(result) > 32;
    }
};

}  // namespace

std::unique_ptr<Shell> makeShell() {
    return std::make_unique<Win32Shell>();
}

}  // namespace qm::win32
