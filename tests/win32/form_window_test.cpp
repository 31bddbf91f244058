// Form windows: frames, taskbar, position, icons, the greyed Close command, and the user's actions
// reaching the runtime as the model's events.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include "platform/win32/form_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>

#include "platform/os_services.h"
#include "platform/win32/dpi.h"
#include "tests/win32/test_forms.h"

namespace qm::win32::test {
namespace {

HWND hwndOf(ui::Form& form, const char* name) {
    return FormWindow::nativeOf(form[name]);
}
LONG styleOf(HWND hwnd) {
    return GetWindowLongW(hwnd, GWL_STYLE);
}
LONG exStyleOf(HWND hwnd) {
    return GetWindowLongW(hwnd, GWL_EXSTYLE);
}

class FormWindows : public ::testing::Test {
protected:
    Harness h{96};
    RecordingForm panel{h.runtime, panelDefinition};
    RecordingForm tabs{h.runtime, tabsDefinition};
    RecordingForm hidden{h.runtime, hiddenDefinition};

    void command(ui::Form& form, const char* name, WORD code) {
        HWND child = hwndOf(form, name);
        SendMessageW(h.backend.window(form), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), code),
                     reinterpret_cast<LPARAM>(child));
    }
};

TEST_F(FormWindows, AFixedFrameHasNoSizingBorderNorMinimiseOrMaximiseBox) {
    tabs.load();
    const LONG style = styleOf(h.backend.window(tabs));
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(exStyleOf(h.backend.window(tabs)) & WS_EX_APPWINDOW) << "shown in the taskbar";
    EXPECT_EQ(GetWindow(h.backend.window(tabs), GW_OWNER), nullptr) << "secondary windows have no owner form";
}

TEST_F(FormWindows, FormsOffTheTaskbarBelongToTheHiddenOwner) {
    panel.load();
    HWND window = h.backend.window(panel);
    EXPECT_EQ(GetWindow(window, GW_OWNER), h.backend.hiddenOwner());
    EXPECT_FALSE(IsWindowVisible(h.backend.hiddenOwner()));
    EXPECT_TRUE(exStyleOf(window) & WS_EX_DLGMODALFRAME) << "a fixed dialog frame";
    EXPECT_FALSE(exStyleOf(window) & WS_EX_APPWINDOW);
}

TEST_F(FormWindows, ABorderlessFormIsAPopupToolWindow) {
    hidden.load();
    HWND window = h.backend.window(hidden);
    EXPECT_TRUE(styleOf(window) & WS_POPUP);
    EXPECT_FALSE(styleOf(window) & WS_CAPTION);
    EXPECT_TRUE(exStyleOf(window) & WS_EX_TOOLWINDOW);
    const SIZE client = clientSize(window);
    EXPECT_EQ(client.cx, 80);
    EXPECT_EQ(client.cy, 60);
}

TEST_F(FormWindows, MovingFarOffTheScreenPlacesTheWindowThere) {
    hidden.load();
    hidden.move(-50000, -50000);
    hidden.show();
    RECT rect{};
    GetWindowRect(h.backend.window(hidden), &rect);
    EXPECT_EQ(rect.left, -3333);
    EXPECT_EQ(rect.top, -3333);
    EXPECT_TRUE(IsWindowVisible(h.backend.window(hidden)));
    EXPECT_EQ(hidden.width(), 1200) << "outer size in twips, of a window without a frame";
}

TEST_F(FormWindows, ACentredFormOpensInTheMiddleOfTheScreen) {
    panel.show();
    RECT rect{};
    GetWindowRect(h.backend.window(panel), &rect);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR((rect.left + rect.right) / 2.0, screenWidth / 2.0, 1.0);
    EXPECT_NEAR((rect.top + rect.bottom) / 2.0, screenHeight / 2.0, 1.0);
    EXPECT_EQ(panel.width(), pixelsToTwips(rect.right - rect.left, 96));
}

TEST_F(FormWindows, ShowAndHideMirrorTheModel) {
    panel.show();
    EXPECT_TRUE(IsWindowVisible(h.backend.window(panel)));
    panel.hide();
    EXPECT_FALSE(IsWindowVisible(h.backend.window(panel)));
    EXPECT_TRUE(panel.isLoaded());
}

TEST_F(FormWindows, WindowsCarryTheProgramIcon) {
    panel.load();
    auto big = reinterpret_cast<HICON>(SendMessageW(h.backend.window(panel), WM_GETICON, ICON_BIG, 0));
    auto small = reinterpret_cast<HICON>(SendMessageW(h.backend.window(panel), WM_GETICON, ICON_SMALL, 0));
    EXPECT_TRUE(big);
    EXPECT_TRUE(small);
    panel.setIcon(ui::Icon::Paused);
    EXPECT_NE(reinterpret_cast<HICON>(SendMessageW(h.backend.window(panel), WM_GETICON, ICON_BIG, 0)), big);
}

// The Close item of the system menu after it was greyed: found by position, since it has lost its
// SC_CLOSE command (its id is now 0).
struct CloseItem {
    bool found = false;
    UINT state = 0;
    UINT id = 0xFFFF;
};

CloseItem closeItem(HWND window, const std::wstring& text) {
    HMENU system = GetSystemMenu(window, FALSE);
    CloseItem item;
    for (int i = 0; i < GetMenuItemCount(system); ++i) {
        wchar_t name[256] = {};
        GetMenuStringW(system, static_cast<UINT>(i), name, 256, MF_BYPOSITION);
        if (text == name) {
            item.found = true;
            item.state = GetMenuState(system, static_cast<UINT>(i), MF_BYPOSITION);
            item.id = GetMenuItemID(system, i);
        }
    }
    return item;
}

TEST_F(FormWindows, TheGreyedCloseCommandKeepsItsTextAndLosesItsCommand) {
    panel.load();
    HWND window = h.backend.window(panel);
    wchar_t text[256] = {};
    ASSERT_TRUE(GetMenuStringW(GetSystemMenu(window, FALSE), SC_CLOSE, text, 256, MF_BYCOMMAND));
    panel.disableCloseCommand();
    const CloseItem item = closeItem(window, text);
    ASSERT_TRUE(item.found) << "the item keeps its text";
    EXPECT_TRUE(item.state & MF_GRAYED);
    EXPECT_EQ(item.id, 0u);
    EXPECT_EQ(GetMenuState(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
}

TEST_F(FormWindows, CloseBoxAndAltF4DoNothingOnceCloseIsGreyed) {
    panel.show();
    panel.disableCloseCommand();
    HWND window = h.backend.window(panel);
    SendMessageW(window, WM_CLOSE, 0, 0);
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);  // what Alt+F4 sends
    EXPECT_TRUE(panel.isLoaded());
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(panel.closeRequests, 0);
}

TEST_F(FormWindows, TheCloseBoxAsksTheFormWhichUnloadsByDefault) {
    tabs.show();
    HWND window = h.backend.window(tabs);
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tabs.closeRequests, 1);
    EXPECT_FALSE(tabs.isLoaded());
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(FormWindows, ButtonLabelAndOptionClicksReachTheirHandlers) {
    panel.show();
    SendMessageW(hwndOf(panel, "Command1"), BM_CLICK, 0, 0);
    command(panel, "Link", STN_CLICKED);
    SendMessageW(hwndOf(panel, "Option2"), BM_CLICK, 0, 0);
    EXPECT_EQ(panel.clicks, (std::vector<std::string>{"Command1", "Link", "Option2"}));
    EXPECT_TRUE(panel["Option2"].value()) << "the runtime selects the option";
    EXPECT_FALSE(panel["Option1"].value());
    EXPECT_EQ(SendMessageW(hwndOf(panel, "Option1"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(FormWindows, DialogKeysAreNotMistakenForControls) {
    panel.show();
    SendMessageW(h.backend.window(panel), WM_COMMAND, IDOK, 0);
    SendMessageW(h.backend.window(panel), WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(panel.clicks.empty());
}

TEST_F(FormWindows, TheUsersListSelectionReachesTheModel) {
    panel.load();
    for (const char* item : {"一", "二", "三"}) panel["List1"].addItem(item);
    SendMessageW(hwndOf(panel, "List1"), LB_SETCURSEL, 2, 0);
    command(panel, "List1", LBN_SELCHANGE);
    EXPECT_EQ(panel["List1"].listIndex(), 2);
    EXPECT_EQ(panel.clicks, std::vector<std::string>{"List1"});
}

TEST_F(FormWindows, ARightButtonOnAListReportsButtonShiftAndPlaceInTwipsThenItsContextMenuAtTheMouse) {
    panel.load();
    SendMessageW(hwndOf(panel, "List1"), WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, MAKELPARAM(10, 4));
    EXPECT_TRUE(panel.contextMenus.empty()) << "Windows asks for the menu on the release";
    SendMessageW(hwndOf(panel, "List1"), WM_RBUTTONUP, MK_SHIFT, MAKELPARAM(10, 4));
    POINT mouse{10, 4};
    ClientToScreen(hwndOf(panel, "List1"), &mouse);
    ASSERT_EQ(panel.contextMenus.size(), 1u);
    EXPECT_EQ(panel.contextMenus[0].control, "List1");
    EXPECT_EQ(panel.contextMenus[0].event.anchor, (ui::ScreenPoint{mouse.x, mouse.y}));
    EXPECT_FALSE(panel.contextMenus[0].event.fromKeyboard);
    ASSERT_EQ(panel.mouseDowns.size(), 1u);
    const auto& down = panel.mouseDowns[0];
    EXPECT_EQ(down.control, "List1");
    EXPECT_EQ(down.button, ui::kRightButton);
    EXPECT_EQ(down.shift, 1);
    EXPECT_EQ(down.x, 150);
    EXPECT_EQ(down.y, 60);
    EXPECT_EQ(panel["List1"].listIndex(), -1) << "the right button selects nothing";
}

TEST_F(FormWindows, TypingIntoAComboFollowsIntoTheModelAndPickingTakesTheItem) {
    panel.load();
    ui::Control& combo = panel["Combo1"];
    for (const char* item : {"00時", "01時", "02時"}) combo.addItem(item);
    HWND hwnd = hwndOf(panel, "Combo1");
    SetWindowTextW(hwnd, L"7時");
    command(panel, "Combo1", CBN_EDITCHANGE);
    EXPECT_EQ(combo.text(), "7時");
    SendMessageW(hwnd, CB_SETCURSEL, 2, 0);
    command(panel, "Combo1", CBN_SELCHANGE);
    EXPECT_EQ(combo.text(), "02時");
    EXPECT_EQ(combo.listIndex(), 2);
}

TEST_F(FormWindows, ADayClickedOnTheCalendarIsItsValueWhenTheClickArrives) {
    tabs.load();
    ui::Control& calendar = tabs["Calendar1"];
    calendar.setDate(std::chrono::year{1998} / 12 / 1);
    SYSTEMTIME shown{};
    SendMessageW(hwndOf(tabs, "Calendar1"), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(shown.wYear, 1998);
    EXPECT_EQ(shown.wMonth, 12);
    EXPECT_EQ(shown.wDay, 1);

    std::chrono::year_month_day seen{};
    calendar.onClick = [&] { seen = calendar.date(); };
    NMSELCHANGE select{};
    select.nmhdr.hwndFrom = hwndOf(tabs, "Calendar1");
    select.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(select.nmhdr.hwndFrom));
    select.nmhdr.code = MCN_SELECT;
    select.stSelStart = SYSTEMTIME{1998, 12, 0, 6, 0, 0, 0, 0};
    select.stSelEnd = select.stSelStart;
    SendMessageW(h.backend.window(tabs), WM_NOTIFY, select.nmhdr.idFrom, reinterpret_cast<LPARAM>(&select));
    EXPECT_EQ(seen, std::chrono::year{1998} / 12 / 6);

    // Scrolling to another month is a selection change, not a click.
    seen = {};
    select.nmhdr.code = MCN_SELCHANGE;
    select.stSelStart.wMonth = 11;
    SendMessageW(h.backend.window(tabs), WM_NOTIFY, select.nmhdr.idFrom, reinterpret_cast<LPARAM>(&select));
    EXPECT_EQ(seen, std::chrono::year_month_day{});
}

TEST_F(FormWindows, TheUsersTabChoiceReachesTheModelAndShowsThatTab) {
    tabs.show();
    HWND strip = hwndOf(tabs, "SSTab1");
    SendMessageW(strip, TCM_SETCURSEL, 2, 0);
    NMHDR change{strip, static_cast<UINT_PTR>(GetDlgCtrlID(strip)), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(h.backend.window(tabs), WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(tabs["SSTab1"].currentTab(), 2);
    EXPECT_TRUE(IsWindowVisible(hwndOf(tabs, "Line1")));
    EXPECT_FALSE(IsWindowVisible(hwndOf(tabs, "Calendar1")));
}

TEST_F(FormWindows, TimersTickWhileTheFormIsLoadedVisibleOrHidden) {
    panel.load();  // hidden
    ASSERT_TRUE(pumpUntil([&] { return panel.ticks.size() >= 2; }));
    EXPECT_EQ(panel.ticks[0], "Timer1");
    panel["Timer1"].setEnabled(false);
    const std::size_t ticks = panel.ticks.size();
    pumpUntil([] { return false; }, 200);
    EXPECT_EQ(panel.ticks.size(), ticks) << "a disabled timer is still";
}

// A timer set for a moment waits on the system's real-time clock: it ticks once, as the clock the
// program reads shows that second, and early when the clock is set, so its handler looks again.
TEST_F(FormWindows, ATimerSetForAMomentTicksOnceAsTheClockShowsItAndWhenTheClockIsSet) {
    const auto clock = makeSystemClock();
    hidden.load();
    hidden["Timer1"].setEnabled(true);
    const LocalTime target = clock->now() + std::chrono::seconds{1};
    hidden["Timer1"].tickAt(target);
    ASSERT_TRUE(pumpUntil([&] { return !hidden.ticks.empty(); }, 3000));
    EXPECT_GE(clock->now(), target) << "never before its second";
    pumpUntil([] { return false; }, 300);
    EXPECT_EQ(hidden.ticks.size(), 1u) << "one tick, then it waits to be set again";

    hidden["Timer1"].tickAt(clock->now() + std::chrono::hours{1});
    SendMessageW(h.backend.window(hidden), WM_TIMECHANGE, 0, 0);
    EXPECT_EQ(hidden.ticks.size(), 2u);
}

TEST_F(FormWindows, ATimerStopsWithItsForm) {
    hidden.load();
    hidden["Timer1"].setEnabled(true);
    ASSERT_TRUE(pumpUntil([&] { return !hidden.ticks.empty(); }));
    hidden.unload();
    const std::size_t ticks = hidden.ticks.size();
    pumpUntil([] { return false; }, 250);
    EXPECT_EQ(hidden.ticks.size(), ticks);
}

TEST_F(FormWindows, AButtonThatUnloadsItsOwnFormIsSafe) {
    tabs.load();
    panel.show();
    panel["Command2"].onClick = [&] { panel.unload(); };
    HWND window = h.backend.window(panel);
    SendMessageW(hwndOf(panel, "Command2"), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(panel.isLoaded());
    EXPECT_NE(h.backend.window(tabs), nullptr) << "other forms stay";
}

// The panel as the program's warning is: an alert whose OK is the default button and 中止 the
// cancel button.
ui::FormDef alertDefinition() {
    ui::FormDef def = panelDefinition();
    def.role = ui::Role::Alert;
    for (ui::ControlDef& c : def.controls) {
        c.isDefault = c.name == "Command1";
        c.isCancel = c.name == "Command2";
    }
    return def;
}

// What a screen reader reads of a window's client area, or of one of its elements.
struct Read {
    long role = 0;
    std::wstring name;
    long children = 0;
    long state = 0;
    std::wstring action;  // the default action
};
Read readAloud(HWND hwnd, long child = CHILDID_SELF) {
    Read read;
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible))))
        return read;
    VARIANT id{};
    id.vt = VT_I4;
    id.lVal = child;
    VARIANT role{};
    if (SUCCEEDED(accessible->get_accRole(id, &role)) && role.vt == VT_I4) read.role = role.lVal;
    BSTR name = nullptr;
    if (accessible->get_accName(id, &name) == S_OK && name) read.name = name;
    SysFreeString(name);
    VARIANT state{};
    if (SUCCEEDED(accessible->get_accState(id, &state)) && state.vt == VT_I4) read.state = state.lVal;
    BSTR action = nullptr;
    if (accessible->get_accDefaultAction(id, &action) == S_OK && action) read.action = action;
    SysFreeString(action);
    accessible->get_accChildCount(&read.children);
    accessible->Release();
    return read;
}

std::vector<std::pair<DWORD, HWND>> heard;  // what screen readers were told, as they hear it
void CALLBACK hear(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) heard.emplace_back(event, hwnd);
}

TEST_F(FormWindows, AScreenReaderHearsTheAlertOpenAndReadsItsTextsImageRowsAndCountAsTheyChange) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    RecordingForm alert{h.runtime, alertDefinition};
    alert.load();
    for (const char* item : {"98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ", "毎日実行　　　　22時30分　再起動"})
        alert["List1"].addItem(item);
    alert["List1"].setListIndex(1);
    heard.clear();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_OBJECT_NAMECHANGE, nullptr, hear, 0, 0,
                                         WINEVENT_OUTOFCONTEXT);
    alert.show();
    alert.show();  // as the due check shows the warning again through its second: no second alert
    alert["Label3"].setCaption("29");
    const std::pair<DWORD, HWND> opened{EVENT_SYSTEM_ALERT, h.backend.window(alert)},
        counted{EVENT_OBJECT_NAMECHANGE, hwndOf(alert, "Label3")};
    const auto wasHeard = [](const std::pair<DWORD, HWND>& event) {
        return std::find(heard.begin(), heard.end(), event) != heard.end();
    };
    EXPECT_TRUE(pumpUntil([&] { return wasHeard(opened) && wasHeard(counted); }, 2000))
        << "the alert as it opens, and the count's change";
    UnhookWinEvent(hook);
    EXPECT_EQ(std::count(heard.begin(), heard.end(), opened), 1);

    const Read window = readAloud(h.backend.window(alert));
    EXPECT_EQ(window.role, ROLE_SYSTEM_ALERT);
    EXPECT_EQ(window.name, L"ｼｬｯﾄﾀﾞｳﾝ確認");
    EXPECT_EQ(readAloud(hwndOf(alert, "Label1")).role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(readAloud(hwndOf(alert, "Label3")).name, L"29");
    EXPECT_EQ(readAloud(hwndOf(alert, "Command2")).name, L"中止");
    EXPECT_EQ(readAloud(hwndOf(alert, "Image1")).role, ROLE_SYSTEM_GRAPHIC);
    EXPECT_EQ(readAloud(hwndOf(alert, "Image1")).name, L"動作中");
    alert["Image1"].setIcon(ui::Icon::Paused);
    EXPECT_EQ(readAloud(hwndOf(alert, "Image1")).name, L"停止中");
    EXPECT_EQ(readAloud(hwndOf(alert, "List1")).role, ROLE_SYSTEM_LIST);
    EXPECT_EQ(readAloud(hwndOf(alert, "List1")).name, L"設定時間が来ました") << "named by the label its form names";
    EXPECT_EQ(readAloud(hwndOf(alert, "List1")).children, 2);
    EXPECT_EQ(readAloud(hwndOf(alert, "List1"), 2).role, ROLE_SYSTEM_LISTITEM);
    EXPECT_EQ(readAloud(hwndOf(alert, "List1"), 2).name, L"毎日実行　　　　22時30分　再起動");

    // The link is a link by its text, reached by the keyboard and followed as its default action.
    HWND link = hwndOf(alert, "Link");
    SetFocus(link);
    const Read linkRead = readAloud(link);
    EXPECT_EQ(linkRead.role, ROLE_SYSTEM_LINK);
    EXPECT_EQ(linkRead.name, L"http://example.com/");
    EXPECT_EQ(linkRead.state & (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(linkRead.action, L"ジャンプ");
    SetFocus(hwndOf(alert, "Command1"));
    EXPECT_FALSE(readAloud(link).state & STATE_SYSTEM_FOCUSED);
    alert.clicks.clear();
    IAccessible* accessible = nullptr;
    ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(link, OBJID_CLIENT, __uuidof(IAccessible),
                                                        reinterpret_cast<void**>(&accessible)));
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    EXPECT_HRESULT_SUCCEEDED(accessible->accDoDefaultAction(self));
    accessible->Release();
    h.backend.doEvents();
    EXPECT_EQ(alert.clicks, std::vector<std::string>{"Link"});
    alert.unload();
    CoUninitialize();
}

TEST_F(FormWindows, KeysWorkAsInADialogEnterDefaultEscCancelAndDeleteOnTheList) {
    RecordingForm alert{h.runtime, alertDefinition};
    alert.show();
    EXPECT_TRUE(styleOf(hwndOf(alert, "Command1")) & BS_DEFPUSHBUTTON);
    HWND list = hwndOf(alert, "List1");
    SetFocus(list);
    for (WPARAM key : {VK_DELETE, VK_RETURN, VK_ESCAPE}) {
        PostMessageW(list, WM_KEYDOWN, key, 1);
        h.backend.doEvents();
    }
    EXPECT_EQ(alert.keys, std::vector<std::string>{"List1"});
    // The menu key: a context menu at the list's caret row, the right button's release: at the mouse.
    alert["List1"].addItem("一");
    SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(300, 200));
    ASSERT_EQ(alert.contextMenus.size(), 2u);
    EXPECT_TRUE(alert.mouseDowns.empty()) << "a key is not a mouse press";
    RECT row{};
    SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    POINT caretRow{row.left, row.bottom};
    ClientToScreen(list, &caretRow);
    EXPECT_TRUE(alert.contextMenus[0].event.fromKeyboard);
    EXPECT_EQ(alert.contextMenus[0].event.anchor, (ui::ScreenPoint{caretRow.x, caretRow.y}));
    EXPECT_FALSE(alert.contextMenus[1].event.fromKeyboard);
    EXPECT_EQ(alert.contextMenus[1].event.anchor, (ui::ScreenPoint{300, 200}));
    EXPECT_EQ(alert.clicks, (std::vector<std::string>{"Command1", "Command2"}));

    // A focused button is the one Enter clicks; with no cancel button Esc is the close box.
    alert.clicks.clear();
    SetFocus(hwndOf(alert, "Command2"));
    PostMessageW(hwndOf(alert, "Command2"), WM_KEYDOWN, VK_RETURN, 1);
    h.backend.doEvents();
    EXPECT_EQ(alert.clicks, std::vector<std::string>{"Command2"});

    // The link, next after the buttons in the tab order, is a stop for Tab; Enter and Space on it
    // click it, not the default button.
    alert.clicks.clear();
    SetFocus(hwndOf(alert, "Command2"));
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    h.backend.doEvents();
    ASSERT_EQ(GetFocus(), hwndOf(alert, "Link"));
    for (WPARAM key : {VK_RETURN, VK_SPACE}) {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        h.backend.doEvents();
    }
    EXPECT_EQ(alert.clicks, (std::vector<std::string>{"Link", "Link"}));
    tabs.show();
    PostMessageW(h.backend.window(tabs), WM_KEYDOWN, VK_ESCAPE, 1);
    h.backend.doEvents();
    EXPECT_EQ(tabs.closeRequests, 1);
}

}  // namespace
}  // namespace qm::win32::test
