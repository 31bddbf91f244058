// The Startup shortcut: a real .lnk file whose target and arguments read back through the shell's
// own link object.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <gtest/gtest.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>

#include "platform/win32/services.h"
#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

struct Link {
    bool loaded = false;
    std::wstring path, arguments, folder;
};

Link readLink(const std::wstring& file) {
    Link link;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* shellLink = nullptr;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shellLink))) &&
        SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
        wchar_t text[MAX_PATH] = {};
        link.loaded = SUCCEEDED(shellLink->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH));
        link.path = text;
        text[0] = L'\0';
        shellLink->GetArguments(text, MAX_PATH);
        link.arguments = text;
        text[0] = L'\0';
        shellLink->GetWorkingDirectory(text, MAX_PATH);
        link.folder = text;
    }
    if (persist) persist->Release();
    if (shellLink) shellLink->Release();
    CoUninitialize();
    return link;
}

std::wstring startupFolder() {
    PWSTR folder = nullptr;
    EXPECT_TRUE(SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_CREATE, nullptr, &folder)));
    std::wstring out = folder ? folder : L"";
    CoTaskMemFree(folder);
    return out;
}

TEST(Shortcut, AWrittenLinkReadsBackWithItsTargetArgumentsAndFolder) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / L"quietus-link-test";
    std::filesystem::create_directories(folder);
    const std::wstring file = (folder / L"QuietusMachine.lnk").wstring();
    // An ASCII target: Wine's link object keeps the target path in the ANSI code page.
    ASSERT_TRUE(
        writeShortcut(file, L"C:\\Program Files\\Quietus\\Quietus.exe", L"", L"C:\\Program Files\\時刻").ok);
    const Link link = readLink(file);
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ(link.path, L"C:\\Program Files\\Quietus\\Quietus.exe");
    EXPECT_EQ(link.arguments, L"");
    EXPECT_EQ(link.folder, L"C:\\Program Files\\時刻");
    std::filesystem::remove_all(folder);
}

TEST(Shortcut, AnUnwritableLinkIsAFailureWithTheReason) {
    const Status status =
        writeShortcut(L"Z:\\no\\such\\folder\\at\\all\\x.lnk", L"C:\\Quietus.exe", L"", L"C:\\");
    EXPECT_FALSE(status.ok);
    EXPECT_FALSE(status.message.empty());
}

TEST(StartupShortcut, GoesIntoTheUsersStartupFolderNamedAfterTheProgram) {
    const auto shortcut = makeStartupShortcut();
    const std::string target = "C:\\Program Files\\QuietusMachine\\Quietus.exe";
    // Twice, as a user may press the button twice: the second call replaces the first link.
    EXPECT_TRUE(shortcut->create("QuietusMachine", target, "").ok);
    EXPECT_TRUE(shortcut->create("QuietusMachine", target, "").ok);
    const std::wstring file = startupFolder() + L"\\QuietusMachine.lnk";
    const Link link = readLink(file);
    ASSERT_TRUE(link.loaded) << narrow(file);
    EXPECT_EQ(link.path, widen(target));
    EXPECT_EQ(link.arguments, L"");
    EXPECT_EQ(link.folder, L"C:\\Program Files\\QuietusMachine");
    DeleteFileW(file.c_str());
}

}  // namespace
}  // namespace qm::win32
