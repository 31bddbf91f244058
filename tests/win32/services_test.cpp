// The other Windows services: the single-instance mutex, the shutdown privilege, the shell, and
// the tray icon's mouse messages reaching the program.
#include "platform/win32/services.h"

#include <gtest/gtest.h>

#include "platform/win32/wide.h"

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

// The session-end calls, recorded instead of made.
struct SessionRecord {
    int privileges = 0;
    std::vector<std::pair<UINT, DWORD>> requests;
    Status privilege = Status::success();
    DWORD refusal = 0;  // GetLastError of a refused request; 0 accepts it

    SessionCalls calls() {
        return SessionCalls{[this] {
                                ++privileges;
                                return privilege;
                            },
                            [this](UINT flags, DWORD reason) {
                                requests.emplace_back(flags, reason);
                                SetLastError(refusal);
                                return refusal == 0 ? TRUE : FALSE;
                            }};
    }
};

struct MethodCase {
    unsigned flags;
    bool needsPrivilege;
};

class SessionEndFlags : public ::testing::TestWithParam<MethodCase> {};

TEST_P(SessionEndFlags, AreRequestedAsGivenWithThePrivilegeOnlyWhereWindowsWantsIt) {
    SessionRecord record;
    const Status status = makeSessionEnd(record.calls())->endSession(GetParam().flags);
    EXPECT_TRUE(status.ok);
    EXPECT_EQ(record.privileges, GetParam().needsPrivilege ? 1 : 0);
    EXPECT_EQ(record.requests, (std::vector<std::pair<UINT, DWORD>>{{GetParam().flags, 0}}));
}

INSTANTIATE_TEST_SUITE_P(FourMethods, SessionEndFlags,
                         ::testing::Values(MethodCase{kEwxShutdown, true},  // ｼｬｯﾄﾀﾞｳﾝ
                                           MethodCase{kEwxShutdown | kEwxForce, true},  // 強制終了
                                           MethodCase{kEwxReboot, true},                // 再起動
                                           MethodCase{kEwxLogoff, false}));             // ログオフ

TEST(SessionEnd, WithoutThePrivilegeNothingIsRequestedAndTheReasonComesBack) {
    SessionRecord record;
    record.privilege = Status::failure("privilege not held");
    const Status status = makeSessionEnd(record.calls())->endSession(kEwxShutdown);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.message, "privilege not held");
    EXPECT_TRUE(record.requests.empty());
}

TEST(SessionEnd, ARefusedRequestComesBackWithWindowsReason) {
    SessionRecord record;
    record.refusal = ERROR_ACCESS_DENIED;
    const Status status = makeSessionEnd(record.calls())->endSession(kEwxLogoff);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.message, systemMessage(ERROR_ACCESS_DENIED));
}

TEST(Shell, OwnerIsTheDesktopWindowAndAMissingDocumentIsReportedByTheShell) {
    const auto shell = makeShell();
    EXPECT_EQ(shell->desktopWindow(), reinterpret_cast<std::uintptr_t>(GetDesktopWindow()));
    const std::intptr_t result = shell->open(shell->desktopWindow(), "open", "C:\\no\\such\\Help\\Help.htm",
                                             std::string(), "", kSwShow);
    EXPECT_LE(result, 32) << "ShellExecute reports failure with a value of 32 or less";
}

// What the tray service told the shell.
struct ShellCall {
    DWORD action;
    NOTIFYICONDATAW record;
};

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
    std::vector<ShellCall> shellCalls;
    std::unique_ptr<TrayIcon> tray = makeTrayIcon([this](DWORD action, const NOTIFYICONDATAW& record) {
        shellCalls.push_back({action, record});
        return true;
    });
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

TEST_F(Tray, TheShellGetsTheRecordWithAUnicodeTipAndTheIconsPicture) {
    tray->add(record());
    ASSERT_EQ(shellCalls.size(), 1u);
    const NOTIFYICONDATAW& added = shellCalls[0].record;
    EXPECT_EQ(shellCalls[0].action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(added.hWnd, window);
    EXPECT_EQ(added.uID, 1u);
    EXPECT_EQ(added.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(added.uCallbackMessage, kTrayIconMessage);
    EXPECT_NE(added.hIcon, nullptr);
    EXPECT_EQ(std::wstring(added.szTip), L"QuietusMachineは動作中です");

    TrayIconData paused = record();
    paused.icon = ui::Icon::Paused;
    paused.tip = "QuietusMachineは停止中です";
    tray->modify(paused);
    ASSERT_EQ(shellCalls.size(), 2u);
    EXPECT_EQ(shellCalls[1].action, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_NE(shellCalls[1].record.hIcon, added.hIcon) << "the paused picture";
    EXPECT_EQ(std::wstring(shellCalls[1].record.szTip), L"QuietusMachineは停止中です");
}

TEST_F(Tray, AnExplorerRestartBringsTheIconBackAsItLastWas) {
    tray->add(record());
    TrayIconData paused = record();
    paused.icon = ui::Icon::Paused;
    paused.tip = "QuietusMachineは停止中です";
    tray->modify(paused);
    shellCalls.clear();
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0].action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(std::wstring(shellCalls[0].record.szTip), L"QuietusMachineは停止中です");

    TrayIconData removal;
    removal.window = reinterpret_cast<std::uintptr_t>(window);
    removal.id = 1;
    tray->remove(removal);
    shellCalls.clear();
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(shellCalls.empty()) << "a removed icon stays removed";
}

TEST_F(Tray, ATipTooLongForTheRecordIsCutNotOverrun) {
    TrayIconData data = record();
    data.tip = std::string(300, 'x');
    tray->add(data);
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(std::wstring(shellCalls[0].record.szTip), std::wstring(127, L'x'));
}

}  // namespace
}  // namespace qm::win32
