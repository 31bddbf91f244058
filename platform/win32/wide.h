// UTF-8 inside the program, UTF-16 at every Win32 call: the two conversions at that boundary.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace qm {

// Ill-formed UTF-8 becomes U+FFFD.
inline std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), n);
    return out;
}

// A lone surrogate becomes U+FFFD.
inline std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int size = static_cast<int>(utf16.size());
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

// The system's text for an error code (GetLastError()), without the trailing line end.
inline std::string systemMessage(DWORD error) {
    // In the user's own display language where the system has the text in it; else whatever
    // language the system finds first.
    wchar_t* text = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD n = ::FormatMessageW(flags, nullptr, error, ::GetUserDefaultUILanguage(), reinterpret_cast<wchar_t*>(&text),
                               0, nullptr);
    if (n == 0) n = ::FormatMessageW(flags, nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n ? std::wstring(text, n) : L"error " + std::to_wstring(error);
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return narrow(message);
}

}  // namespace qm
