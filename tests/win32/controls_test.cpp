// Native controls built from a window definition: classes, captions, places and sizes at 96 and
// 144 DPI, fonts, colours, and the model's changes reaching them.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "platform/win32/dpi.h"
#include "platform/win32/fonts.h"
#include "platform/win32/form_window.h"
#include "platform/win32/wide.h"
#include "tests/win32/test_forms.h"

namespace qm::win32::test {
namespace {

HWND hwndOf(ui::Form& form, const char* name) {
    return FormWindow::nativeOf(form[name]);
}

std::wstring className(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

struct TooltipSearch {
    HWND owner;
    HWND found = nullptr;
};

BOOL CALLBACK noteTooltip(HWND hwnd, LPARAM data) {
    auto& search = *reinterpret_cast<TooltipSearch*>(data);
    if (className(hwnd) == TOOLTIPS_CLASSW && GetWindow(hwnd, GW_OWNER) == search.owner) search.found = hwnd;
    return TRUE;
}

HWND tooltipOwnedBy(HWND owner) {
    TooltipSearch search{owner};
    EnumThreadWindows(GetCurrentThreadId(), noteTooltip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool hasStyle(HWND hwnd, LONG style) {
    return (GetWindowLongW(hwnd, GWL_STYLE) & style) == style;
}

class Controls : public ::testing::TestWithParam<int> {
protected:
    int dpi() const { return GetParam(); }
    int px(int twips) const { return twipsToPixels(twips, dpi()); }
    Harness h{GetParam()};
    RecordingForm panel{h.runtime, panelDefinition};
    RecordingForm tabs{h.runtime, tabsDefinition};
};

INSTANTIATE_TEST_SUITE_P(At96And144, Controls, ::testing::Values(96, 144),
                         ::testing::PrintToStringParamName());

TEST_P(Controls, ClientAreaIsTheDefinitionsSizeInPixels) {
    panel.load();
    const SIZE client = clientSize(h.backend.window(panel));
    EXPECT_EQ(client.cx, px(4680));
    EXPECT_EQ(client.cy, px(3090));
}

TEST_P(Controls, CaptionsAreTheDefinitionsTextInUnicode) {
    panel.load();
    EXPECT_EQ(windowText(h.backend.window(panel)), L"ｼｬｯﾄﾀﾞｳﾝ確認");
    EXPECT_EQ(windowText(hwndOf(panel, "Label1")), L"設定時間が来ました");
    EXPECT_EQ(windowText(hwndOf(panel, "Command2")), L"中止");
    EXPECT_EQ(windowText(hwndOf(panel, "Frame1")), L"終了方法");
    EXPECT_EQ(windowText(hwndOf(panel, "Option1")), L"シャットダウン");
    EXPECT_EQ(windowText(hwndOf(panel, "Combo1")), L"01時");
}

TEST_P(Controls, EachKindIsItsWindowsControl) {
    panel.load();
    tabs.load();
    struct Expect {
        ui::Form* form;
        const char* name;
        const wchar_t* windowClass;
        LONG style;
    };
    for (const Expect& e : {
             Expect{&panel, "Label1", L"Static", SS_NOTIFY},
             Expect{&panel, "Label3", L"Static", SS_OWNERDRAW},
             Expect{&panel, "Command1", L"Button", BS_PUSHBUTTON | WS_TABSTOP},
             Expect{&panel, "Option1", L"Button", BS_RADIOBUTTON | WS_GROUP},
             Expect{&panel, "Option2", L"Button", BS_RADIOBUTTON},
             Expect{&panel, "Frame1", L"Button", BS_GROUPBOX},
             Expect{&panel, "List1", L"ListBox", LBS_NOTIFY},
             Expect{&panel, "Combo1", L"ComboBox", CBS_DROPDOWN},
             Expect{&panel, "Image1", L"Static", SS_ICON},
             Expect{&tabs, "Calendar1", MONTHCAL_CLASSW, 0},
             Expect{&tabs, "SSTab1", WC_TABCONTROLW, 0},
         }) {
        HWND hwnd = hwndOf(*e.form, e.name);
        ASSERT_TRUE(hwnd) << e.name;
        EXPECT_EQ(_wcsicmp(className(hwnd).c_str(), e.windowClass), 0)
            << e.name << " is " << narrow(className(hwnd));
        EXPECT_TRUE(hasStyle(hwnd, e.style)) << e.name;
    }
    EXPECT_FALSE(hasStyle(hwndOf(panel, "Option2"), WS_GROUP)) << "the frame's options are one group";
    EXPECT_EQ(hwndOf(panel, "Timer1"), nullptr);
    EXPECT_EQ(hwndOf(panel, "mnuPopup"), nullptr);
}

TEST_P(Controls, PlacesAreTwipsAtTheWindowsDpi) {
    panel.load();
    const RECT label = childRect(hwndOf(panel, "Label1"));
    EXPECT_EQ(label.left, px(120));
    EXPECT_EQ(label.top, px(120));
    EXPECT_EQ(label.right, px(120 + 1830));
    EXPECT_EQ(label.bottom, px(120 + 195));
    const RECT button = childRect(hwndOf(panel, "Command2"));
    EXPECT_EQ(button.left, px(1560));
    EXPECT_EQ(button.right - button.left, px(1560 + 1215) - px(1560));
    EXPECT_EQ(button.bottom - button.top, px(2640 + 375) - px(2640));
}

TEST_P(Controls, ControlsInAFrameOrOnATabArePlacedFromTheirContainer) {
    panel.load();
    const RECT option = childRect(hwndOf(panel, "Option2"));
    EXPECT_EQ(option.left, px(2880 + 120));
    EXPECT_EQ(option.top, px(240 + 720));
    tabs.load();
    const RECT calendar = childRect(hwndOf(tabs, "Calendar1"));
    EXPECT_EQ(calendar.left, px(120));
    EXPECT_EQ(calendar.top, px(360));
    const RECT inner = childRect(hwndOf(tabs, "Option1"));  // an option in a frame on a tab
    EXPECT_EQ(inner.left, px(2040 + 120));
    EXPECT_EQ(inner.top, px(360 + 360));
}

TEST_P(Controls, FontsAreTheDefinitionsFaceSizeWeightAndCharacterSet) {
    panel.load();
    LOGFONTW font{};
    auto fontOf = [&](const char* name) {
        HFONT handle = reinterpret_cast<HFONT>(SendMessageW(hwndOf(panel, name), WM_GETFONT, 0, 0));
        EXPECT_TRUE(handle) << name;
        GetObjectW(handle, sizeof(font), &font);
        return font;
    };
    const LOGFONTW label = fontOf("Label1");
    EXPECT_EQ(label.lfHeight, -twipsToPixels(195, dpi()));  // 9.75 pt is 13 px at 96 DPI, 195 twips
    EXPECT_EQ(label.lfWeight, FW_BOLD);
    EXPECT_EQ(label.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(std::wstring(label.lfFaceName),
              installedFace(ui::Font{.face = "ＭＳ Ｐゴシック", .points = 9.75, .charset = ui::Charset::ShiftJis}));
    const LOGFONTW counter = fontOf("Label3");
    EXPECT_EQ(counter.lfHeight, -dpi() * 48 / 72);
    // A control without a font of its own gets the Japanese dialog font.
    const LOGFONTW button = fontOf("Command1");
    EXPECT_EQ(button.lfHeight, -dpi() * 9 / 72);
    EXPECT_EQ(button.lfCharSet, SHIFTJIS_CHARSET);
}

TEST_P(Controls, AnAutoSizedLabelFitsItsText) {
    panel.load();
    HWND label = hwndOf(panel, "Label2");
    const LONG before = childRect(label).right - childRect(label).left;
    EXPECT_GT(before, 0);
    panel["Label2"].setCaption("ｼｬｯﾄﾀﾞｳﾝします。ずっと長い文になりました");
    EXPECT_GT(childRect(label).right - childRect(label).left, before);
    EXPECT_EQ(childRect(label).left, px(120));
}

TEST_P(Controls, ALineIsAThinWindowAlongItsLength) {
    panel.load();
    const RECT line = childRect(hwndOf(panel, "Line1"));
    EXPECT_EQ(line.left, px(120));
    EXPECT_EQ(line.right - line.left, px(120 + 4440) - px(120));
    EXPECT_EQ(line.bottom - line.top, 2);
}

TEST_P(Controls, AnImageShowsTheProgramIconAtItsSize) {
    panel.load();
    auto icon = reinterpret_cast<HICON>(SendMessageW(hwndOf(panel, "Image1"), STM_GETICON, 0, 0));
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, px(480));
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST_P(Controls, ModelChangesReachTheNativeControls) {
    panel.load();
    panel["Label3"].setCaption("29");
    EXPECT_EQ(windowText(hwndOf(panel, "Label3")), L"29");
    panel.setCaption("強制終了確認");
    EXPECT_EQ(windowText(h.backend.window(panel)), L"強制終了確認");
    panel["Option2"].setValue(true);
    EXPECT_EQ(SendMessageW(hwndOf(panel, "Option2"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(hwndOf(panel, "Option1"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    panel["Command1"].setEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(hwndOf(panel, "Command1")));
    panel["Label1"].setVisible(false);
    EXPECT_FALSE(hasStyle(hwndOf(panel, "Label1"), WS_VISIBLE));
    panel["Label1"].setRect(ui::Rect{240, 240, 1440, 240});
    EXPECT_EQ(childRect(hwndOf(panel, "Label1")).left, px(240));
}

// What a paint call leaves in a 32-bit bitmap of the box's size, row by row.
using Picture = std::vector<DWORD>;

template <class Paint>
Picture paintInto(const RECT& box, Paint paint) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), box.right, -box.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    paint(dc, box);
    GdiFlush();
    const auto* pixels = static_cast<const DWORD*>(bits);
    Picture picture(pixels, pixels + box.right * box.bottom);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return picture;
}

// Pictures of a list box's rows: one as the form draws it, one of a text drawn in the list's
// font the way a list box that holds its own strings draws it.
template <class Paint>
Picture paintRow(HWND list, Paint paint) {
    RECT client{};
    GetClientRect(list, &client);
    return paintInto(RECT{0, 0, client.right, static_cast<LONG>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0))},
                     paint);
}

Picture rowAsDrawn(HWND list, int row, UINT state = 0) {
    return paintRow(list, [&](HDC dc, const RECT& box) {
        DRAWITEMSTRUCT item{ODT_LISTBOX,
                            static_cast<UINT>(GetDlgCtrlID(list)),
                            static_cast<UINT>(row),
                            ODA_DRAWENTIRE,
                            state,
                            list,
                            dc,
                            box,
                            0};
        SendMessageW(GetParent(list), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    });
}

Picture textAsAListShowsIt(HWND list, int dpi, const std::wstring& text, int back = COLOR_WINDOW,
                           int ink = COLOR_WINDOWTEXT) {
    return paintRow(list, [&](HDC dc, const RECT& box) {
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
        SetBkColor(dc, GetSysColor(back));
        SetTextColor(dc, GetSysColor(ink));
        ExtTextOutW(dc, MulDiv(1, dpi, 96), lineLift(dc, box), ETO_OPAQUE | ETO_CLIPPED, &box, text.c_str(),
                    static_cast<UINT>(text.size()), nullptr);
    });
}

TEST_P(Controls, ListRowsFollowAddsRemovalsAndClearsAndShowTheModelsText) {
    panel.load();
    ui::Control& list = panel["List1"];
    HWND hwnd = hwndOf(panel, "List1");
    EXPECT_TRUE(hasStyle(hwnd, LBS_NODATA | LBS_OWNERDRAWFIXED)) << "the list holds no strings of its own";
    EXPECT_FALSE(hasStyle(hwnd, LBS_HASSTRINGS));
    auto count = [&] { return SendMessageW(hwnd, LB_GETCOUNT, 0, 0); };
    auto shows = [&](int row, const wchar_t* text) {
        return rowAsDrawn(hwnd, row) == textAsAListShowsIt(hwnd, dpi(), text);
    };
    for (const char* entry :
         {"98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ", "毎日実行　　　　22時30分　再起動", "a", "a"}) {
        list.addItem(entry);
    }
    EXPECT_EQ(count(), 4);
    EXPECT_TRUE(shows(0, L"98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ"));
    EXPECT_TRUE(shows(1, L"毎日実行　　　　22時30分　再起動"));
    EXPECT_FALSE(shows(1, L"98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ"));
    EXPECT_TRUE(shows(3, L"a"));
    list.setListIndex(1);
    EXPECT_EQ(SendMessageW(hwnd, LB_GETCURSEL, 0, 0), 1);
    list.removeItem(2);  // one of two equal items
    list.removeItem(0);
    EXPECT_EQ(count(), 2);
    EXPECT_TRUE(shows(0, L"毎日実行　　　　22時30分　再起動"));
    EXPECT_TRUE(shows(1, L"a"));
    EXPECT_EQ(SendMessageW(hwnd, LB_GETCURSEL, 0, 0), 0) << "the selection stays with its item";
    list.clear();
    EXPECT_EQ(count(), 0);
    EXPECT_EQ(SendMessageW(hwnd, LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_P(Controls, AListRowIsAsHighAsItsFontsEmAndShowsSelectionFocusAndDisabling) {
    panel.load();
    panel["List1"].addItem("毎日実行　　　　22時30分　再起動");
    HWND hwnd = hwndOf(panel, "List1");
    // The em of a Windows face, whose line keeps no room above its characters.
    const ui::Font font = panel["List1"].props().font.value_or(defaultControlFont());
    EXPECT_EQ(SendMessageW(hwnd, LB_GETITEMHEIGHT, 0, 0), std::lround(font.points * dpi() / 72.0));

    const std::wstring text = L"毎日実行　　　　22時30分　再起動";
    EXPECT_EQ(rowAsDrawn(hwnd, 0, ODS_SELECTED),
              textAsAListShowsIt(hwnd, dpi(), text, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT));
    EXPECT_NE(rowAsDrawn(hwnd, 0, ODS_SELECTED | ODS_FOCUS), rowAsDrawn(hwnd, 0, ODS_SELECTED))
        << "the focus rectangle";
    EXPECT_EQ(rowAsDrawn(hwnd, 0, ODS_DISABLED),
              textAsAListShowsIt(hwnd, dpi(), text, COLOR_WINDOW, COLOR_GRAYTEXT));
}

// A long list whose rows are made when asked for, counting how often they are.
class LongList final : public ui::ListModel {
public:
    explicit LongList(std::size_t rows) : rows_(rows) {}
    std::size_t size() const override { return rows_; }
    std::string_view item(std::size_t row) const override {
        ++reads;
        return row % 2 ? "毎日実行　　　　22時30分　再起動" : "98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ";
    }
    void append() {
        ++rows_;
        notify({ui::ListChange::Kind::Inserted, rows_ - 1, 1});
    }
    mutable std::size_t reads = 0;

private:
    std::size_t rows_;
};

TEST_P(Controls, AListOfAMillionRowsOpensAtOnceAndReadsOnlyTheRowsItShows) {
    panel.show();
    HWND hwnd = hwndOf(panel, "List1");
    LongList rows(1'000'000);
    const ULONGLONG start = GetTickCount64();
    panel["List1"].showModel(rows);
    UpdateWindow(hwnd);
    EXPECT_LT(GetTickCount64() - start, 500u);
    EXPECT_EQ(SendMessageW(hwnd, LB_GETCOUNT, 0, 0), 1'000'000);
    RECT client{};
    GetClientRect(hwnd, &client);
    const std::size_t visible =
        static_cast<std::size_t>(client.bottom / SendMessageW(hwnd, LB_GETITEMHEIGHT, 0, 0) + 1);
    EXPECT_LE(rows.reads, 2 * visible);

    rows.append();
    panel["List1"].setListIndex(1'000'000);
    UpdateWindow(hwnd);
    EXPECT_EQ(SendMessageW(hwnd, LB_GETCOUNT, 0, 0), 1'000'001);
    EXPECT_EQ(SendMessageW(hwnd, LB_GETCURSEL, 0, 0), 1'000'000);
    EXPECT_GT(SendMessageW(hwnd, LB_GETTOPINDEX, 0, 0), 999'000) << "scrolled to the selected row";
    EXPECT_LE(rows.reads, 4 * visible);
    panel.unload();  // before the rows go
}

TEST_P(Controls, TypingOnAListMovesToTheNextRowThatBeginsWithTheKey) {
    panel.load();
    ui::Control& list = panel["List1"];
    for (const char* entry : {"毎日実行　　　　22時30分　再起動", "98年05月12日", "99年01月01日", "apple"}) {
        list.addItem(entry);
    }
    HWND hwnd = hwndOf(panel, "List1");
    std::vector<int> seen;
    for (wchar_t key : {L'9', L'9', L'9', L'毎', L'A', L'x'}) {
        SendMessageW(hwnd, WM_CHAR, key, 1);
        seen.push_back(list.listIndex());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 1, 0, 3, 3}));
    EXPECT_EQ(panel.clicks, (std::vector<std::string>(5, "List1"))) << "each move is the user's choice";
}

TEST_P(Controls, AComboKeepsItsTextWhileItsListFills) {
    panel.load();
    ui::Control& combo = panel["Combo1"];
    for (int h = 0; h < 24; ++h) {
        char hour[8];
        std::snprintf(hour, sizeof hour, "%02d", h);
        combo.addItem(std::string(hour) + "時");
    }
    HWND hwnd = hwndOf(panel, "Combo1");
    EXPECT_EQ(SendMessageW(hwnd, CB_GETCOUNT, 0, 0), 24);
    EXPECT_EQ(SendMessageW(hwnd, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(windowText(hwnd), L"01時");
}

TEST_P(Controls, TooltipsAreRegisteredForTheControlsThatHaveThem) {
    panel.load();
    const HWND tooltip = tooltipOwnedBy(h.backend.window(panel));
    ASSERT_TRUE(tooltip);
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 2);
    wchar_t text[80] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = h.backend.window(panel);
    tool.uId = reinterpret_cast<UINT_PTR>(hwndOf(panel, "Command2"));
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(text), L"やめる");
}

TEST_P(Controls, ATabStripShowsOnlyItsCurrentTabsControls) {
    tabs.show();
    auto shown = [&](const char* name) { return hasStyle(hwndOf(tabs, name), WS_VISIBLE); };
    EXPECT_TRUE(shown("Calendar1"));
    EXPECT_FALSE(shown("Frame1"));
    EXPECT_FALSE(shown("Option1")) << "a frame's options go with the frame";
    EXPECT_FALSE(shown("Line1"));
    EXPECT_TRUE(shown("Label1")) << "off the tab strip";
    tabs["SSTab1"].setCurrentTab(1);
    EXPECT_EQ(SendMessageW(hwndOf(tabs, "SSTab1"), TCM_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(shown("Calendar1"));
    EXPECT_TRUE(shown("Frame1"));
    EXPECT_TRUE(shown("Option1"));
    tabs["SSTab1"].setCurrentTab(2);
    EXPECT_TRUE(shown("Line1"));
    EXPECT_FALSE(shown("Option1"));
}

// A label drawn into a bitmap of its own size, as the form draws it.
struct Ink {
    int pixels = 0;                  // of exactly the colour looked for
    int top = INT_MAX, bottom = -1;  // rows holding anything but the background
};

Ink drawAndLook(HWND form, HWND label, COLORREF colour) {
    RECT box{};
    GetClientRect(label, &box);
    const Picture picture = paintInto(box, [&](HDC dc, const RECT&) {
        DRAWITEMSTRUCT item{
            ODT_STATIC, static_cast<UINT>(GetDlgCtrlID(label)), 0, ODA_DRAWENTIRE, 0, label, dc, box, 0};
        SendMessageW(form, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    });
    Ink ink;
    const DWORD background = picture[0] & 0xFFFFFF;
    const DWORD wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int y = 0; y < box.bottom; ++y) {
        for (int x = 0; x < box.right; ++x) {
            const DWORD p = picture[static_cast<std::size_t>(y * box.right + x)] & 0xFFFFFF;
            if (p == wanted) ++ink.pixels;
            if (p != background) {
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
        }
    }
    return ink;
}

TEST_P(Controls, ALabelDrawsItsTextInItsColour) {
    tabs.load();
    HWND form = h.backend.window(tabs), label = hwndOf(tabs, "Label1");
    EXPECT_GT(drawAndLook(form, label, RGB(0, 0, 255)).pixels, 0);
    tabs["Label1"].setForeColour(0x000080FF);  // orange, as 0x00BBGGRR
    EXPECT_GT(drawAndLook(form, label, RGB(255, 128, 0)).pixels, 0);
    EXPECT_EQ(drawAndLook(form, label, RGB(0, 0, 255)).pixels, 0);
}

TEST_P(Controls, ALabelsTextIsNotCutOffWhateverFaceStandsIn) {
    panel.load();
    HWND form = h.backend.window(panel);
    for (const char* name : {"Label1", "Label3"}) {
        HWND label = hwndOf(panel, name);
        const Ink fitted = drawAndLook(form, label, 0);
        ASSERT_GE(fitted.bottom, 0) << name << " drew nothing";
        // Given more room below, the text draws no further: nothing was cut off at the bottom.
        ui::Rect taller = panel[name].props().rect;
        taller.height += taller.height / 2 + 300;
        panel[name].setRect(taller);
        const Ink roomy = drawAndLook(form, label, 0);
        // A pixel row of anti-aliasing under the em box may go; glyphs may not.
        EXPECT_EQ(roomy.top, fitted.top) << name;
        EXPECT_LE(roomy.bottom, fitted.bottom + 1) << name << " is cut at the bottom";
    }
    // The 48-point counter keeps a margin above its digits.
    EXPECT_GT(drawAndLook(form, hwndOf(panel, "Label3"), 0).top, 0);
}

TEST_P(Controls, AnUnloadedFormsWindowIsGoneAndANewLoadStartsFromTheDefinition) {
    panel.load();
    HWND first = h.backend.window(panel);
    panel["Label3"].setCaption("5");
    panel.unload();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(h.backend.window(panel), nullptr);
    panel.load();
    EXPECT_EQ(windowText(FormWindow::nativeOf(panel["Label3"])), L"30");
}

}  // namespace
}  // namespace qm::win32::test
