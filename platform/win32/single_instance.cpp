// One copy per user session: the first process to create the named mutex owns the program.
#include <windows.h>

#include "platform/win32/services.h"

namespace qm::win32 {
namespace {

class Win32SingleInstance final : public SingleInstance {
public:
    explicit Win32SingleInstance(std::wstring name) : name_(std::move(name)) {}
    ~Win32SingleInstance() override {
        if (mutex_) CloseHandle(mutex_);
    }

    bool anotherRunning() override {
        if (!asked_) {
            asked_ = true;
            // The handle stays open for the life of the process: while it is, the name is taken.
            mutex_ = CreateMutexW(nullptr, FALSE, name_.c_str());
            another_ =
                GetLastError() == ERROR_ALREADY_EXISTS || (!mutex_ && GetLastError() == ERROR_ACCESS_DENIED);
        }
        return another_;
    }

private:
    std::wstring name_;
    HANDLE mutex_ = nullptr;
    bool asked_ = false;
    bool another_ = false;
};

}  // namespace

std::unique_ptr<SingleInstance> makeSingleInstance(const std::wstring& name) {
    return std::make_unique<Win32SingleInstance>(name);
}

}  // namespace qm::win32
