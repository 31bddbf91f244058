// The other Windows services: the single-instance mutex, session end, the shell, the tray icon's
// records and clicks, the control channel, the folder watcher, the idle time and the process watch.
#include "platform/win32/services.h"

#include <gtest/gtest.h>

#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <optional>

#include "platform/win32/control_channel.h"
#include "platform/win32/wide.h"
#include "tests/support/folder_changes.h"

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
                            },
                            [this](BOOL hibernate) {
                                others.push_back(hibernate ? "SetSuspendState hibernate" : "SetSuspendState sleep");
                                SetLastError(refusal);
                                return refusal == 0 ? TRUE : FALSE;
                            },
                            [this] {
                                others.push_back("LockWorkStation");
                                SetLastError(refusal);
                                return refusal == 0 ? TRUE : FALSE;
                            }};
    }
    std::vector<std::string> others;  // the calls that leave the session running
};

struct MethodCase {
    SessionRequest request;
    UINT flags;  // ExitWindowsEx's uFlags
    bool needsPrivilege;
};

class SessionEndFlags : public ::testing::TestWithParam<MethodCase> {};

TEST_P(SessionEndFlags, EachMethodAsksWindowsWithItsFlagsAndThePrivilegeOnlyWhereWindowsWantsIt) {
    SessionRecord record;
    const Status status = makeSessionEnd(record.calls())->end(GetParam().request);
    EXPECT_TRUE(status.ok);
    EXPECT_EQ(record.privileges, GetParam().needsPrivilege ? 1 : 0);
    EXPECT_EQ(record.requests, (std::vector<std::pair<UINT, DWORD>>{{GetParam().flags, 0}}));
}

INSTANTIATE_TEST_SUITE_P(FourMethods, SessionEndFlags,
                         ::testing::Values(MethodCase{SessionRequest::PowerOff, 1, true},    // EWX_SHUTDOWN
                                           MethodCase{SessionRequest::ForcedPowerOff, 5, true},  // | EWX_FORCE
                                           MethodCase{SessionRequest::Reboot, 2, true},     // EWX_REBOOT
                                           MethodCase{SessionRequest::LogOff, 0, false}),   // EWX_LOGOFF
                         [](const auto& i) { return "ExitWindowsExFlags" + std::to_string(i.param.flags); });

TEST(SessionEnd, SleepAndHibernationSuspendWithThePrivilegeAndLockLocksTheScreen) {
    struct Case {
        SessionRequest request;
        const char* call;
        int privileges;
    };
    for (const Case& c : {Case{SessionRequest::Suspend, "SetSuspendState sleep", 1},
                          Case{SessionRequest::Hibernate, "SetSuspendState hibernate", 1},
                          Case{SessionRequest::LockScreen, "LockWorkStation", 0}}) {
        SessionRecord record;
        EXPECT_TRUE(makeSessionEnd(record.calls())->end(c.request).ok) << c.call;
        EXPECT_EQ(record.others, std::vector<std::string>{c.call});
        EXPECT_EQ(record.privileges, c.privileges) << c.call;
        EXPECT_TRUE(record.requests.empty()) << c.call;
        record.refusal = ERROR_NOT_SUPPORTED;  // a machine that cannot: the reason comes back
        EXPECT_EQ(makeSessionEnd(record.calls())->end(c.request).message, systemMessage(ERROR_NOT_SUPPORTED));
    }
}

TEST(SessionEnd, WithoutThePrivilegeNothingIsRequestedAndTheReasonComesBack) {
    SessionRecord record;
    record.privilege = Status::failure("privilege not held");
    const Status status = makeSessionEnd(record.calls())->end(SessionRequest::PowerOff);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.message, "privilege not held");
    EXPECT_TRUE(record.requests.empty());
}

TEST(SessionEnd, ARefusedRequestComesBackWithWindowsReason) {
    SessionRecord record;
    record.refusal = ERROR_ACCESS_DENIED;
    const Status status = makeSessionEnd(record.calls())->end(SessionRequest::LogOff);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.message, systemMessage(ERROR_ACCESS_DENIED));
}

TEST(Shell, AMissingDocumentIsReportedAsNotOpened) {
    EXPECT_FALSE(makeShell()->open("C:\\no\\such\\Help\\Help.htm", std::string()));
    EXPECT_FALSE(makeShell()->open("C:\\no\\such\\Help\\Help.htm", std::nullopt));
}

// What the tray service told the shell.
struct ShellCall {
    DWORD action;
    NOTIFYICONDATAW record;
};

class Tray : public ::testing::Test {
protected:
    Tray() {
        tray->setClickHandler([this](TrayClick click, TrayAnchor anchor) {
            clicks.push_back(click);
            anchors.push_back(anchor);
        });
    }

    // The window the shell was told to call back.
    HWND window() const { return shellCalls.empty() ? nullptr : shellCalls.back().record.hWnd; }
    void shellCallsBack(unsigned mouseMessage) { SendMessageW(window(), kTrayIconMessage, 1, mouseMessage); }

    const TrayIconState running{ui::Icon::Running, "QuietusMachineは動作中です"};
    const TrayIconState paused{ui::Icon::Paused, "QuietusMachineは停止中です"};
    std::vector<ShellCall> shellCalls;
    std::unique_ptr<TrayIcon> tray = makeTrayIcon([this](DWORD action, const NOTIFYICONDATAW& record) {
        shellCalls.push_back({action, record});
        return true;
    });
    std::vector<TrayClick> clicks;
    std::vector<TrayAnchor> anchors;
};

TEST_F(Tray, TheIconBelongsToAHiddenTopLevelWindowOfTheServicesOwn) {
    tray->add(running);
    ASSERT_TRUE(IsWindow(window()));
    EXPECT_FALSE(IsWindowVisible(window()));
    // Only top-level windows hear "TaskbarCreated"; a message-only window's parent is not the desktop.
    EXPECT_EQ(GetAncestor(window(), GA_PARENT), GetDesktopWindow());
}

TEST_F(Tray, ReleasingTheLeftButtonIsThePrimaryClickAndTheRightTheSecondary) {
    tray->add(running);
    for (unsigned message :
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDBLCLK})
        shellCallsBack(message);
    EXPECT_EQ(clicks, (std::vector<TrayClick>{TrayClick::Primary, TrayClick::Secondary}));
}

// What the shell sends for one action of the user's, and the clicks that makes.
struct TrayAction {
    const char* what;
    std::vector<unsigned> events;
    std::vector<TrayClick> clicks;
};

TEST_F(Tray, EachActionIsOneClickWhetherTheShellSpeaksVersion4OrNot) {
    using enum TrayClick;
    const TrayAction actions[] = {
        {"the left button, version 4", {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, NIN_SELECT}, {Primary}},
        {"the right button, version 4", {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU}, {Secondary}},
        {"Enter or Space on the icon", {NIN_KEYSELECT}, {Primary}},
        {"Enter on the icon under the mouse", {NIN_SELECT}, {Primary}},
        {"Shift+F10 or the menu key", {WM_CONTEXTMENU}, {Secondary}},
        {"a click, then keys", {WM_LBUTTONUP, NIN_SELECT, NIN_KEYSELECT, WM_CONTEXTMENU}, {Primary, Primary, Secondary}},
    };
    tray->add(running);
    ASSERT_EQ(shellCalls.size(), 2u);
    EXPECT_EQ(shellCalls[1].action, static_cast<DWORD>(NIM_SETVERSION));
    EXPECT_EQ(shellCalls[1].record.uVersion, static_cast<UINT>(NOTIFYICON_VERSION_4));
    for (const TrayAction& action : actions) {
        clicks.clear();
        for (unsigned event : action.events) shellCallsBack(event);
        EXPECT_EQ(clicks, action.clicks) << action.what;
    }
}

TEST_F(Tray, AKeysClickCarriesTheIconsPlaceAndTheKeyboardGoesBackToTheIconOnRequest) {
    tray->add(running);
    HWND hwnd = window();
    // Version 4: the icon's place on the screen in wParam.
    SendMessageW(hwnd, kTrayIconMessage, MAKEWPARAM(700, 580), NIN_KEYSELECT);
    SendMessageW(hwnd, kTrayIconMessage, MAKEWPARAM(700, 580), WM_CONTEXTMENU);
    SendMessageW(hwnd, kTrayIconMessage, MAKEWPARAM(700, 580), WM_LBUTTONUP);
    const TrayAnchor icon = ui::ScreenPoint{700, 580};
    EXPECT_EQ(anchors, (std::vector<TrayAnchor>{icon, icon, std::nullopt}))
        << "a mouse click opens its menu at the mouse";

    shellCalls.clear();
    tray->focusIcon();
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0].action, static_cast<DWORD>(NIM_SETFOCUS));
    EXPECT_EQ(shellCalls[0].record.hWnd, hwnd);
    tray->remove();
    shellCalls.clear();
    tray->focusIcon();
    EXPECT_TRUE(shellCalls.empty()) << "no icon, nothing to focus";
}

TEST_F(Tray, ARealMouseMoveOverTheWindowIsNotAClick) {
    tray->add(running);
    SendMessageW(window(), WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONUP, 0));
    EXPECT_TRUE(clicks.empty());
}

TEST_F(Tray, AfterRemovalTheIconIsGoneAndHeardNoMore) {
    tray->add(running);
    tray->modify(paused);
    HWND hwnd = window();
    tray->remove();
    ASSERT_EQ(shellCalls.size(), 4u);
    EXPECT_EQ(shellCalls[3].action, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(shellCalls[3].record.hWnd, hwnd);
    EXPECT_EQ(shellCalls[3].record.uID, 1u);
    SendMessageW(hwnd, kTrayIconMessage, 1, WM_LBUTTONUP);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(Tray, ANoticeIsTheIconsBalloonWithTitleAndTextAndAClickOnItIsReportedAsSuch) {
    int noticeClicks = 0;
    tray->setNoticeClickHandler([&] { ++noticeClicks; });
    EXPECT_FALSE(tray->notify("QuietusMachine", "５分後にシャットダウンします。", {}));  // no icon, no balloon
    tray->add(running);
    EXPECT_TRUE(tray->notify("QuietusMachine", "５分後にシャットダウンします。", {{"今回は中止", [] {}}}));
    ASSERT_EQ(shellCalls.size(), 3u);
    const NOTIFYICONDATAW& balloon = shellCalls[2].record;
    EXPECT_EQ(shellCalls[2].action, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(balloon.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(std::wstring(balloon.szInfoTitle), L"QuietusMachine");
    EXPECT_EQ(std::wstring(balloon.szInfo), L"５分後にシャットダウンします。");
    shellCallsBack(NIN_BALLOONUSERCLICK);
    EXPECT_EQ(noticeClicks, 1);
    EXPECT_TRUE(clicks.empty()) << "not a click on the icon";
}

TEST_F(Tray, TheShellGetsTheRecordWithAUnicodeTipAndTheIconsPicture) {
    tray->add(running);
    ASSERT_EQ(shellCalls.size(), 2u);
    const NOTIFYICONDATAW& added = shellCalls[0].record;
    EXPECT_EQ(shellCalls[0].action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(added.uID, 1u);
    EXPECT_EQ(added.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP));
    EXPECT_EQ(added.uCallbackMessage, kTrayIconMessage);
    EXPECT_NE(added.hIcon, nullptr);
    EXPECT_EQ(std::wstring(added.szTip), L"QuietusMachineは動作中です");

    tray->modify(paused);
    ASSERT_EQ(shellCalls.size(), 3u);
    EXPECT_EQ(shellCalls[2].action, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(shellCalls[2].record.hWnd, added.hWnd);
    EXPECT_NE(shellCalls[2].record.hIcon, added.hIcon) << "the paused picture";
    EXPECT_EQ(std::wstring(shellCalls[2].record.szTip), L"QuietusMachineは停止中です");

    // The tip that says what comes next, as long as the tray window makes it (a word naming no
    // method, cut to 16 characters, here each a surrogate pair): two lines, whole.
    std::string word;
    std::wstring wideWord;
    for (int i = 0; i < 16; ++i) {
        word += "\xF0\xA0\xAE\xB7";  // U+20BB7
        wideWord += L"\xD842\xDFB7";
    }
    tray->modify(TrayIconState{ui::Icon::Running,
                               "QuietusMachineは動作中です\n次回: 12月08日 22時30分 " + word + "（あと999日23時間）"});
    ASSERT_EQ(shellCalls.size(), 4u);
    const std::wstring tip(shellCalls[3].record.szTip);
    EXPECT_EQ(tip, L"QuietusMachineは動作中です\n次回: 12月08日 22時30分 " + wideWord + L"（あと999日23時間）");
    EXPECT_LE(tip.size(), 127u);
}

TEST_F(Tray, AnExplorerRestartBringsTheIconBackAsItLastWas) {
    tray->add(running);
    tray->modify(paused);
    HWND hwnd = window();
    shellCalls.clear();
    SendMessageW(hwnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_EQ(shellCalls.size(), 2u);
    EXPECT_EQ(shellCalls[0].action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(shellCalls[0].record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP));
    EXPECT_EQ(std::wstring(shellCalls[0].record.szTip), L"QuietusMachineは停止中です");
    EXPECT_EQ(shellCalls[1].action, static_cast<DWORD>(NIM_SETVERSION)) << "the version is the icon's";

    tray->remove();
    shellCalls.clear();
    SendMessageW(hwnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(shellCalls.empty()) << "a removed icon stays removed";
}

TEST_F(Tray, ATipTooLongForTheRecordIsCutNotOverrun) {
    tray->add(TrayIconState{ui::Icon::Running, std::string(300, 'x')});
    ASSERT_EQ(shellCalls.size(), 2u);
    EXPECT_EQ(std::wstring(shellCalls[0].record.szTip), std::wstring(127, L'x'));
}

// Runs this thread's messages, as the program's loop would, until `done` or the time is up.
template <typename Done>
bool pumpUntil(std::chrono::milliseconds limit, Done done) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return done();
}

// The handles this process holds. Wine answers GetProcessHandleCount with 0; the system's list
// of every process's handles it keeps.
int handleCount() {
    struct Handle {
        ULONG process;
        UCHAR type, flags;
        USHORT value;
        PVOID object;
        ACCESS_MASK access;
    };
    std::vector<ULONG_PTR> buffer(1 << 16);  // grows until the list fits
    const auto systemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
    ULONG length = 0;
    while (NtQuerySystemInformation(systemHandleInformation, buffer.data(),
                                    static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR)), &length) != 0) {
        if (buffer.size() > (1u << 24)) return -1;
        buffer.resize(buffer.size() * 2);
    }
    const auto* handles = reinterpret_cast<const Handle*>(buffer.data() + 1);
    return static_cast<int>(std::count_if(handles, handles + buffer[0], [](const Handle& handle) {
        return handle.process == GetCurrentProcessId();
    }));
}

// What `channel` is answered, asked from another thread while this one takes its messages, as the
// running program's message loop does.
std::optional<std::string> askFromElsewhere(ControlChannel& channel, const std::string& request) {
    auto answer = std::async(std::launch::async, [&] { return channel.send(request); });
    while (answer.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return answer.get();
}

TEST(ControlChannel, ARequestIsAnsweredByTheProgramListeningAndByNothingWhenNoneListens) {
    const auto asker = makeControlChannel();
    EXPECT_EQ(askFromElsewhere(*asker, "status"), std::nullopt);
    auto program = makeControlChannel();
    std::vector<std::string> heard;
    ASSERT_TRUE(program->listen([&](const std::string& request) {
        heard.push_back(request);
        return "次回: " + request;
    }));
    EXPECT_EQ(askFromElsewhere(*asker, "再起動"), "次回: 再起動");
    EXPECT_EQ(heard, std::vector<std::string>{"再起動"});

    // Data from no window, or of another kind, is refused unheard.
    const HWND window = FindWindowExW(HWND_MESSAGE, nullptr, kControlWindowClass, nullptr);
    wchar_t text[] = L"status";
    COPYDATASTRUCT data{0, sizeof(text), text};
    EXPECT_EQ(SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), FALSE);
    EXPECT_EQ(heard.size(), 1u);

    program.reset();
    EXPECT_EQ(askFromElsewhere(*asker, "status"), std::nullopt) << "the program ended";
}

TEST(FolderWatcher, ChangesToTheScheduleAreReportedOnThisThreadWithinASecondAndOthersNot) {
    for (const test::FolderChange& change : test::kFolderChanges) {
        test::TempFolder folder;
        test::prepareFolder(folder, change);
        auto watcher = makeFolderWatcher();
        int calls = 0;
        DWORD thread = 0;
        ASSERT_TRUE(watcher->watch(test::utf8(folder.folder()), test::kWatchedName, [&] {
            ++calls;
            thread = GetCurrentThreadId();
        }));
        change.make(folder);
        const auto limit = std::chrono::milliseconds(change.reported ? 1000 : 600);
        EXPECT_EQ(pumpUntil(limit, [&] { return calls > 0; }), change.reported) << change.what;
        if (calls) {
            EXPECT_EQ(thread, GetCurrentThreadId()) << change.what;
        }
    }
}

TEST(FolderWatcher, AWatcherEndedLeavesNoHandleBehind) {
    test::TempFolder folder;
    // A watcher that reported and ended, many times over. The system opens a few handles once,
    // on the thread's first window, wait or thread: those are not the watcher's.
    const auto watchOnce = [&] {
        auto watcher = makeFolderWatcher();
        bool called = false;
        watcher->watch(test::utf8(folder.folder()), test::kScheduleName, [&] { called = true; });
        folder.write(test::kScheduleName, "new contents\r\n");
        return pumpUntil(std::chrono::milliseconds(1000), [&] { return called; });
    };
    ASSERT_TRUE(watchOnce());
    const int before = handleCount();
    constexpr int kTimes = 10;
    for (int i = 0; i < kTimes; ++i) ASSERT_TRUE(watchOnce());
    EXPECT_LT(handleCount() - before, kTimes) << "no handle left for each watcher";
}

TEST(FolderWatcher, AFolderThatIsNotThereCannotBeWatched) {
    EXPECT_FALSE(makeFolderWatcher()->watch("C:\\no\\such\\folder", test::kWatchedName, [] {}));
}

// SendInput's input is the session's as a device's is, under Wine as on Windows.
TEST(IdleSource, TheIdleTimeGrowsWhileNothingHappensAndDropsAtInput) {
    using namespace std::chrono_literals;
    const auto idle = makeIdleSource();
    const auto move = [] {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_MOVE;
        input.mi.dx = 1;
        return SendInput(1, &input, sizeof(input));
    };
    ASSERT_EQ(move(), 1u);
    EXPECT_EQ(idle->idleTime(), 0s);
    Sleep(2100);
    EXPECT_GE(idle->idleTime().value_or(0s), 2s);
    move();
    EXPECT_EQ(idle->idleTime(), 0s);
}

// Ping under a name of this test process's own (ctest runs the cases side by side, and a Wine
// prefix's processes all show in one list), in the temporary folder: "qmping<id>.exe".
const std::wstring& pingCopy() {
    static const std::wstring copy = [] {
        wchar_t system[MAX_PATH], temp[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        GetTempPathW(MAX_PATH, temp);
        std::wstring to = std::wstring(temp) + L"qmping" + std::to_wstring(GetCurrentProcessId()) + L".exe";
        EXPECT_TRUE(CopyFileW((std::wstring(system) + L"\\ping.exe").c_str(), to.c_str(), FALSE));
        return to;
    }();
    return copy;
}

std::string pingCopyName() {
    return "qmping" + std::to_string(GetCurrentProcessId());
}

// A process that lives about count - 1 seconds: ping, which waits a second between pings.
struct Pinging {
    PROCESS_INFORMATION info{};
    explicit Pinging(int count) {
        std::wstring line = L"\"" + pingCopy() + L"\" -n " + std::to_wstring(count) + L" 127.0.0.1";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                                   &startup, &info));
    }
    ~Pinging() {
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    bool ended() const { return WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0; }
};

TEST(ProcessWatch, EndsOnceWhenNoProcessOfTheIdOrTheNameIsLeftOnThisThread) {
    const struct {
        const char* what;
        const char* name;  // none: by the first process's id
    } cases[] = {{"by id", nullptr}, {"by name, in any case and without .exe", "QMPING"}, {"by name", "qmping.exe"}};
    for (const auto& c : cases) {
        // "qmping" + this process's id, spelt as the case says.
        std::string name = c.name ? c.name : "";
        if (c.name) name.insert(6, pingCopyName().substr(6));
        const Pinging first(2);
        const auto second = c.name ? std::make_unique<Pinging>(3) : nullptr;
        const auto watch = makeProcessWatch();
        int calls = 0;
        DWORD thread = 0;
        ASSERT_TRUE(watch->watch(c.name ? name : std::to_string(first.info.dwProcessId), [&] {
            ++calls;
            thread = GetCurrentThreadId();
        })) << c.what;
        if (second) {
            EXPECT_TRUE(pumpUntil(std::chrono::milliseconds(5000), [&] { return first.ended(); })) << c.what;
            pumpUntil(std::chrono::milliseconds(300), [] { return false; });
            EXPECT_EQ(calls, 0) << c.what;
        }
        EXPECT_TRUE(pumpUntil(std::chrono::milliseconds(6000), [&] { return calls > 0; })) << c.what;
        pumpUntil(std::chrono::milliseconds(300), [] { return false; });
        EXPECT_EQ(calls, 1) << c.what;
        EXPECT_EQ(thread, GetCurrentThreadId()) << c.what;
    }
}

TEST(ProcessWatch, NothingRunningIsRefusedAndACancelledWatchNeverCalls) {
    const auto watch = makeProcessWatch();
    int calls = 0;
    EXPECT_FALSE(watch->watch("QuietusNoSuchProgram.exe", [&] { ++calls; }));
    EXPECT_FALSE(watch->watch("4294967292", [&] { ++calls; }));
    const Pinging pinging(2);
    ASSERT_TRUE(watch->watch(std::to_string(pinging.info.dwProcessId), [&] { ++calls; }));
    watch->cancel();
    EXPECT_TRUE(pumpUntil(std::chrono::milliseconds(5000), [&] { return pinging.ended(); }));
    pumpUntil(std::chrono::milliseconds(300), [] { return false; });
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace qm::win32
