// The help lookup on Windows' own file system: only a plain file counts (not hidden, not a system
// file, not a folder), and its name comes back as stored, so the caller can compare it exactly.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <gtest/gtest.h>

#include <optional>

#include "platform/os_services.h"
#include "platform/win32/wide.h"
#include "tests/support/temp_folder.h"

namespace qm::win32 {
namespace {

struct LookupCase {
    const char* label;
    const char* stored;  // the file's name on disk ("" for none)
    DWORD attributes;    // FILE_ATTRIBUTE_DIRECTORY makes it a folder
    const char* asked;
    std::optional<std::string> found;
};

class HelpLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(HelpLookup, FindsOnlyPlainFilesUnderTheirStoredName) {
    const LookupCase c = GetParam();
    test::TempFolder help;
    if (*c.stored) {
        const std::wstring path = widen(help.path(c.stored));
        if (c.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
        } else {
            help.write(c.stored, "<html></html>");
            ASSERT_TRUE(
                SetFileAttributesW(path.c_str(), c.attributes ? c.attributes : FILE_ATTRIBUTE_NORMAL));
        }
    }
    EXPECT_EQ(makeFileSystem()->lookUpName(help.path(c.asked)), c.found);
    if (*c.stored && c.attributes)
        SetFileAttributesW(widen(help.path(c.stored)).c_str(), FILE_ATTRIBUTE_NORMAL);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HelpLookup,
    ::testing::Values(LookupCase{"Plain", "Help.htm", 0, "Help.htm", "Help.htm"},
                      LookupCase{"ReadOnly", "Help.htm", FILE_ATTRIBUTE_READONLY, "Help.htm", "Help.htm"},
                      LookupCase{"OtherCapitals", "help.HTM", 0, "Help.htm", "help.HTM"},
                      LookupCase{"Hidden", "Help.htm", FILE_ATTRIBUTE_HIDDEN, "Help.htm", std::nullopt},
                      LookupCase{"System", "Help.htm", FILE_ATTRIBUTE_SYSTEM, "Help.htm", std::nullopt},
                      LookupCase{"Folder", "Help.htm", FILE_ATTRIBUTE_DIRECTORY, "Help.htm", std::nullopt},
                      LookupCase{"Missing", "", 0, "Help.htm", std::nullopt},
                      LookupCase{"JapaneseName", "ヘルプ.htm", 0, "ヘルプ.htm", "ヘルプ.htm"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace qm::win32
