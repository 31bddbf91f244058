// The command line's arguments from GetCommandLineW, and its text to the starter's console or
// to a redirected handle.
#include "platform/win32/console.h"

#include <shellapi.h>

#include <algorithm>

#include "platform/win32/wide.h"

namespace qm::win32 {

namespace {

// A file or a pipe: what a redirection gives, whoever made it.
bool redirected(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    const DWORD type = ::GetFileType(handle);
    return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
}

bool usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

HANDLE openConsoleOutput() {
    return ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace

std::vector<std::string> commandLineArguments() {
    int count = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    if (!argv) return args;
    for (int i = 1; i < count; ++i) args.push_back(narrow(argv[i]));
    ::LocalFree(argv);
    return args;
}

ParentConsole::ParentConsole() {
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
    // A console handle handed down works only once the console is attached.
    if (!redirected(out) || !redirected(err)) ::AttachConsole(ATTACH_PARENT_PROCESS);
    out_ = streamOf(out);
    err_ = streamOf(err);
}

ParentConsole::Stream ParentConsole::streamOf(HANDLE handle) {
    if (isConsole(handle)) return {handle, true};
    if (usable(handle)) return {handle, false};  // a file, a pipe, or a device such as NUL
    // No handle, or one that does not work here: the attached console's own output, if there is one.
    const HANDLE console = openConsoleOutput();
    if (isConsole(console)) return {console, true};
    return {};  // neither: the text goes nowhere
}

bool ParentConsole::write(const Stream& stream, std::string_view utf8) {
    if (!stream.handle) return true;
    if (stream.console) {
        const std::wstring text = widen(utf8);
        // In pieces every console takes in one call, never splitting a surrogate pair.
        for (std::size_t at = 0; at < text.size();) {
            std::size_t n = std::min<std::size_t>(8192, text.size() - at);
            if (at + n < text.size() && IS_HIGH_SURROGATE(text[at + n - 1])) --n;
            DWORD written = 0;
            if (!::WriteConsoleW(stream.handle, text.data() + at, static_cast<DWORD>(n), &written, nullptr) ||
                written == 0)
                return false;
            at += written;
        }
        return true;
    }
    for (std::size_t at = 0; at < utf8.size();) {
        const DWORD n = static_cast<DWORD>(std::min<std::size_t>(1 << 20, utf8.size() - at));
        DWORD written = 0;
        if (!::WriteFile(stream.handle, utf8.data() + at, n, &written, nullptr) || written == 0) return false;
        at += written;
    }
    return true;
}

}  // namespace qm::win32
