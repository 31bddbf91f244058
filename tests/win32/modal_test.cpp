// Popup menus and message boxes: modal, nested, with timers ticking meanwhile; the chosen item
// goes to its handler before the menu's `closed`.
#include <gtest/gtest.h>

#include <functional>

#include "platform/win32/wide.h"
#include "tests/win32/test_forms.h"

namespace qm::win32::test {
namespace {

// What the stand-in user does once the modal piece is up, from a thread timer.
std::function<void()> g_user;

void CALLBACK actAsUser(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (g_user) g_user();
}

void later(std::function<void()> user, UINT afterMs = 300) {
    g_user = std::move(user);
    SetTimer(nullptr, 0, afterMs, actAsUser);
}

HWND findWindow(const wchar_t* windowClass, const wchar_t* title) {
    return FindWindowW(windowClass, title);
}

void press(HWND hwnd, UINT key) {
    PostMessageW(hwnd, WM_KEYDOWN, key, 1);
    PostMessageW(hwnd, WM_KEYUP, key, 0xC0000001);
}

class Modal : public ::testing::Test {
protected:
    Harness h{96};
    RecordingForm panel{h.runtime, panelDefinition};
};

TEST_F(Modal, TheChosenMenuItemRunsBeforeTheMenuCloses) {
    panel.show();
    std::vector<std::string> order;
    panel["mnuLast"].onClick = [&] { order.push_back("mnuLast"); };
    bool menuSeen = false;
    later([&] {
        HWND menu = findWindow(L"#32768", nullptr);
        menuSeen = menu != nullptr;
        press(menu, VK_UP);  // from no item to the last one
        press(menu, VK_RETURN);
    });
    const std::size_t ticksBefore = panel.ticks.size();
    panel.popupMenu(panel["mnuPopup"], ui::PopupButtons::LeftAndRight, [&] { order.push_back("closed"); });
    EXPECT_TRUE(menuSeen);
    EXPECT_EQ(order, (std::vector<std::string>{"mnuLast", "closed"}));
    EXPECT_GT(panel.ticks.size(), ticksBefore) << "the form's timer ticked while the menu was open";
}

TEST_F(Modal, AMenuOpensAtItsAnchorAndADismissedOneOnlyClosesSayingSo) {
    panel.show();
    std::vector<std::string> order;
    RECT opened{};
    later([&] {
        HWND menu = findWindow(L"#32768", nullptr);
        GetWindowRect(menu, &opened);
        press(menu, VK_ESCAPE);
    });
    panel.popupMenu(panel["mnuPopup"], ui::PopupButtons::LeftAndRight, ui::ScreenPoint{200, 150},
                    [&](bool chosen) { order.push_back(chosen ? "chosen" : "dismissed"); });
    EXPECT_EQ(order, std::vector<std::string>{"dismissed"});
    EXPECT_EQ(opened.left, 200);
    EXPECT_EQ(opened.top, 150);
    EXPECT_TRUE(std::find(panel.clicks.begin(), panel.clicks.end(), "mnuFirst") == panel.clicks.end());
}

TEST_F(Modal, AMenuOfAWindowOffTheScreenTakesTheForegroundAndLetsTheWindowsQueueMoveOn) {
    RecordingForm tray{h.runtime, hiddenDefinition};
    tray.move(-50000, -50000);
    tray.show();
    panel.show();  // in front of it
    HWND owner = h.backend.window(tray);
    HWND foreground = nullptr;
    later([&] {
        foreground = GetForegroundWindow();  // else a click elsewhere would leave the menu open
        press(findWindow(L"#32768", nullptr), VK_ESCAPE);
    });
    tray.popupMenu(tray["mnuPopup"], ui::PopupButtons::LeftAndRight);
    EXPECT_EQ(foreground, owner);
    bool nudged = false;
    for (MSG message; PeekMessageW(&message, owner, 0, 0, PM_REMOVE);)
        nudged = nudged || message.message == WM_NULL;
    EXPECT_TRUE(nudged) << "a message after the menu, or the next one would close at once";
}

TEST_F(Modal, TheMenuShowsTheItemsEnabledState) {
    panel.show();
    panel["mnuFirst"].setEnabled(false);
    UINT firstState = 0, count = 0;
    std::wstring lastText;
    later([&] {
        HWND menuWindow = findWindow(L"#32768", nullptr);
        auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, 0x01E1 /* MN_GETHMENU */, 0, 0));
        count = static_cast<UINT>(GetMenuItemCount(menu));
        firstState = GetMenuState(menu, 0, MF_BYPOSITION);
        wchar_t text[64] = {};
        GetMenuStringW(menu, 2, text, 64, MF_BYPOSITION);
        lastText = text;
        press(menuWindow, VK_ESCAPE);
    });
    panel.popupMenu(panel["mnuPopup"], ui::PopupButtons::LeftAndRight, {});
    EXPECT_EQ(count, 3u);
    EXPECT_TRUE(firstState & MF_GRAYED);
    EXPECT_EQ(lastText, L"最後(&L)");
}

TEST_F(Modal, AMessageBoxShowsItsTextAndTitleAndTimersTickUnderIt) {
    panel.load();
    std::wstring text;
    bool found = false;
    later([&] {
        HWND box = findWindow(L"#32770", L"QuietusMachine");
        found = box != nullptr;
        HWND label = GetDlgItem(box, 0xFFFF);  // the message text of a message box
        if (label) text = windowText(label);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    const std::size_t ticksBefore = panel.ticks.size();
    bool closed = false;
    h.runtime.messageBox("既に起動されています", "QuietusMachine", ui::MessageBoxButtons::Ok,
                         [&] { closed = true; });
    EXPECT_TRUE(found);
    EXPECT_EQ(text, L"既に起動されています");
    EXPECT_TRUE(closed);
    EXPECT_GT(panel.ticks.size(), ticksBefore);
}

}  // namespace
}  // namespace qm::win32::test
