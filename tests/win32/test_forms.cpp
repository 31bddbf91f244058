// The tests' own window definitions, written like the program's: tables of controls in twips.
#include "tests/win32/test_forms.h"

#include <functional>

namespace qm::win32::test {

using ui::Kind;

ui::FormDef panelDefinition() {
    const ui::Font gothic{
        .face = "ＭＳ Ｐゴシック", .points = 9.75, .bold = true, .charset = ui::Charset::ShiftJis};
    const ui::Font mincho48{
        .face = "ＭＳ Ｐ明朝", .points = 48, .bold = true, .charset = ui::Charset::ShiftJis};
    return ui::FormDef{
        .name = "Panel",
        .caption = "ｼｬｯﾄﾀﾞｳﾝ確認",
        .clientWidth = 4680,
        .clientHeight = 3090,
        .border = ui::Border::FixedDialog,
        .showInTaskbar = false,
        .startPosition = ui::StartPosition::CentreScreen,
        .controls =
            {
                {.kind = Kind::Label,
                 .name = "Label1",
                 .caption = "設定時間が来ました",
                 .rect = {120, 120, 1830, 195},
                 .font = gothic,
                 .foreColour = 0x000000FF},
                {.kind = Kind::Label,
                 .name = "Label2",
                 .caption = "XXXXXします",
                 .rect = {120, 360, 1245, 195},
                 .font = gothic,
                 .autoSize = true},
                {.kind = Kind::Label,
                 .name = "Label3",
                 .caption = "30",
                 .rect = {0, 600, 3135, 900},
                 .font = mincho48,
                 .foreColour = 0x00000000,
                 .align = ui::Align::Centre},
                {.kind = Kind::Label,
                 .name = "Link",
                 .caption = "http://example.com/",
                 .rect = {120, 1560, 2000, 255},
                 .tooltip = "リンクへ行く",
                 .link = true},
                {.kind = Kind::Button,
                 .name = "Command1",
                 .caption = "OK",
                 .rect = {240, 2640, 1215, 375},
                 .tabIndex = 0},
                {.kind = Kind::Button,
                 .name = "Command2",
                 .caption = "中止",
                 .rect = {1560, 2640, 1215, 375},
                 .tooltip = "やめる",
                 .tabIndex = 1},
                {.kind = Kind::Frame,
                 .name = "Frame1",
                 .caption = "終了方法",
                 .rect = {2880, 240, 1695, 1815}},
                {.kind = Kind::Option,
                 .name = "Option1",
                 .parent = "Frame1",
                 .caption = "シャットダウン",
                 .rect = {120, 360, 1455, 255},
                 .value = true},
                {.kind = Kind::Option,
                 .name = "Option2",
                 .parent = "Frame1",
                 .caption = "再起動",
                 .rect = {120, 720, 1095, 255}},
                {.kind = Kind::ListBox, .name = "List1", .rect = {120, 2100, 1815, 400}, .labelledBy = "Label1"},
                {.kind = Kind::ComboBox, .name = "Combo1", .caption = "01時", .rect = {2160, 2160, 975, 300}},
                {.kind = Kind::Image,
                 .name = "Image1",
                 .rect = {4080, 2640, 480, 480},
                 .icon = ui::Icon::Running},
                {.kind = Kind::Line, .name = "Line1", .rect = {120, 2040, 4440, 0}},
                {.kind = Kind::Timer, .name = "Timer1", .enabled = true, .interval = 50},
                {.kind = Kind::Menu, .name = "mnuPopup", .caption = "PopUp", .visible = false},
                {.kind = Kind::MenuItem, .name = "mnuFirst", .parent = "mnuPopup", .caption = "最初(&F)"},
                {.kind = Kind::MenuItem, .name = "mnuSep", .parent = "mnuPopup", .caption = "-"},
                {.kind = Kind::MenuItem, .name = "mnuLast", .parent = "mnuPopup", .caption = "最後(&L)"},
            },
    };
}

ui::FormDef tabsDefinition() {
    return ui::FormDef{
        .name = "Tabs",
        .caption = "QuietusMachine",
        .clientWidth = 7290,
        .clientHeight = 2790,
        .border = ui::Border::FixedSingle,
        .controls =
            {
                {.kind = Kind::TabStrip,
                 .name = "SSTab1",
                 .rect = {0, 0, 3885, 2775},
                 .tabs = {"日付で設定", "タイマー設定", "詳細設定"}},
                {.kind = Kind::Calendar,
                 .name = "Calendar1",
                 .parent = "SSTab1",
                 .tab = 0,
                 .rect = {120, 360, 3615, 2295},
                 .font =
                     ui::Font{.face = "ＭＳ Ｐゴシック", .points = 8.25, .charset = ui::Charset::ShiftJis}},
                {.kind = Kind::Frame,
                 .name = "Frame1",
                 .parent = "SSTab1",
                 .tab = 1,
                 .caption = "終了方法",
                 .rect = {2040, 360, 1695, 1815}},
                {.kind = Kind::Option,
                 .name = "Option1",
                 .parent = "Frame1",
                 .caption = "シャットダウン",
                 .rect = {120, 360, 1455, 255},
                 .value = true},
                {.kind = Kind::Line,
                 .name = "Line1",
                 .parent = "SSTab1",
                 .tab = 2,
                 .rect = {120, 1680, 3600, 0}},
                {.kind = Kind::Label,
                 .name = "Label1",
                 .caption = "Label1",
                 .rect = {3960, 120, 0, 0},
                 .foreColour = 0x00FF0000,
                 .autoSize = true},
            },
    };
}

ui::FormDef hiddenDefinition() {
    return ui::FormDef{
        .name = "Hidden",
        .caption = "タスクトレイ常駐",
        .clientWidth = 1200,
        .clientHeight = 900,
        .border = ui::Border::None,
        .showInTaskbar = false,
        .controls =
            {
                {.kind = Kind::Timer, .name = "Timer1", .enabled = false, .interval = 100},
                {.kind = Kind::Menu, .name = "mnuPopup", .caption = "PopUp", .visible = false},
                {.kind = Kind::MenuItem, .name = "mnuExit", .parent = "mnuPopup", .caption = "終了(&X)"},
            },
    };
}

void RecordingForm::bind() {
    for (const auto& c : controls()) {
        ui::Control* control = c.get();
        control->onClick = [this, control] { clicks.push_back(control->name()); };
        control->onMouseDown = [this, control](const ui::MouseEvent& e) {
            mouseDowns.push_back({control->name(), e.button, e.shift, e.x, e.y});
        };
        control->onContextMenu = [this, control](const ui::ContextMenuEvent& e) {
            contextMenus.push_back({control->name(), e});
        };
        control->onTimer = [this, control] { ticks.push_back(control->name()); };
        control->onKeyDown = [this, control](ui::Key) { keys.push_back(control->name()); };
    }
}

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

RECT childRect(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE clientSize(HWND hwnd) {
    RECT rect{};
    GetClientRect(hwnd, &rect);
    return SIZE{rect.right, rect.bottom};
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (!done()) {
        if (GetTickCount64() > end) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
    return true;
}

}  // namespace qm::win32::test
