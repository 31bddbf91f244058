// The other Windows services: the single-instance mutex, the shutdown privilege, the shell, the
// OS's own error texts, and the tray icon's mouse messages reaching the program.
#include "platform/win32/services.h"

#include <gtest/gtest.h>

#include "platform/win32/system_error.h"

namespace qm::win32 {
namespace {

TEST(SingleInstance, TheFirstCopyOwnsTheNameAndLaterCopiesSeeIt) {
    const std::wstring name = L"Local\\QuietusMachineTest" + std::to_wstring(GetCurrentProcessId());
    auto first = makeSingleInstance(name);
    EXPECT_FALSE(first->anotherRunning());
    EXPECT_FALSE(first->anotherRunning()) << "the answer does not change on asking again";
    auto second = makeSingleInstance(name);
    EXPECT_TRUE(second->anotherRunning());
    first.reset();
    second.reset();
    EXPECT_FALSE(makeSingleInstance(name)->anotherRunning()) << "the name is free once the first copy ended";
}

TEST(SessionEnd, TheShutdownPrivilegeCanBeEnabled) {
    EXPECT_TRUE(enableShutdownPrivilege().ok);
}

TEST(Shell, OwnerIsTheDesktopWindowAndAMissingDocumentIsReportedByTheShell) {
    const auto shell = makeShell();
    EXPECT_EQ(shell->desktopWindow(), reinterpret_cast<std::uintptr_t>(GetDesktopWindow()));
    const std::intptr_t result = shell->open(shell->desktopWindow(), "open", "C:\\no\\such\\Help\\Help.htm",
                                             std::string(), "", kSwShow);
    EXPECT_LE(result, 32) << "ShellExecute reports failure with a value of 32 or less";
}

TEST(SystemError, SpeaksTheOsReasonWithoutALineEnd) {
    const std::string text = systemMessage(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    EXPECT_NE(text, "error 2");
    EXPECT_EQ(systemMessage(0x2FFFFFFF), "error 805306367");
}

class Tray : public ::testing::Test {
protected:
    Tray() {
        WNDCLASSEXW plain{};
        plain.cbSize = sizeof(plain);
        plain.lpfnWndProc = DefWindowProcW;
        plain.hInstance = GetModuleHandleW(nullptr);
        plain.lpszClassName = L"QuietusTrayTest";
        RegisterClassExW(&plain);  // a second registration fails harmlessly
        window = CreateWindowExW(WS_EX_TOOLWINDOW, L"QuietusTrayTest", L"タスクトレイ常駐", WS_POPUP, 0, 0,
                                 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        tray->setMouseSink(
            [this](std::uintptr_t from, unsigned message) { seen.emplace_back(from, message); });
    }
    ~Tray() override { DestroyWindow(window); }

    TrayIconData record() const {
        return TrayIconData{reinterpret_cast<std::uintptr_t>(window),
                            1,
                            kNifMessage | kNifIcon | kNifTip,
                            kWmMouseMove,
                            ui::Icon::Running,
                            "QuietusMachineは動作中です"};
    }
    void shellCallsBack(unsigned mouseMessage) { SendMessageW(window, kTrayIconMessage, 1, mouseMessage); }

    HWND window = nullptr;
    std::unique_ptr<TrayIcon> tray = makeTrayIcon();
    std::vector<std::pair<std::uintptr_t, unsigned>> seen;
};

TEST_F(Tray, EveryMouseMessageOnTheIconReachesTheSinkWithItsWindow) {
    tray->add(record());
    for (unsigned message : {kWmLButtonUp, kWmRButtonUp, kWmMouseMove, 0x0201u, 0x0203u})
        shellCallsBack(message);
    const auto id = reinterpret_cast<std::uintptr_t>(window);
    EXPECT_EQ(seen, (std::vector<std::pair<std::uintptr_t, unsigned>>{
                        {id, 0x0202}, {id, 0x0205}, {id, 0x0200}, {id, 0x0201}, {id, 0x0203}}));
}

TEST_F(Tray, ARealMouseMoveOverTheWindowIsNotAnIconEvent) {
    tray->add(record());
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(514, 0));
    EXPECT_TRUE(seen.empty());
}

TEST_F(Tray, AfterRemovalTheWindowNoLongerHearsTheIcon) {
    tray->add(record());
    tray->modify(record());
    TrayIconData removal;
    removal.window = reinterpret_cast<std::uintptr_t>(window);
    removal.id = 1;
    tray->remove(removal);
    shellCallsBack(kWmLButtonUp);
    EXPECT_TRUE(seen.empty());
}

}  // namespace
}  // namespace qm::win32
