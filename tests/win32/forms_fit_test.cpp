// The program's windows on the Win32 back end show every caption, option and button text whole
// in the faces that stand in for the Windows ones, at 96 and 144 DPI.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/about_window.h"
#include "forms/exit_warning.h"
#include "forms/notice_dialog.h"
#include "forms/settings_window.h"
#include "forms/time_of_day_dialog.h"
#include "platform/win32/form_window.h"
#include "platform/win32/wide.h"
#include "tests/win32/test_forms.h"

namespace qm::win32::test {
namespace {

// A window's definition on its own, without its handlers.
class BareForm : public ui::Form {
public:
    BareForm(ui::Runtime& runtime, ui::FormDef (*define)()) : ui::Form(runtime, define) {}
};

// The room a control's text needs beside its box, its check mark or its frame line.
int widthBeside(ui::Kind kind) {
    switch (kind) {
        case ui::Kind::Button: return 2 * GetSystemMetrics(SM_CXEDGE) + 2;
        case ui::Kind::Option: return GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE);
        case ui::Kind::Frame: return 8;
        default: return 0;
    }
}

// "name: needs WxH, has WxH" for a control whose text does not fit, else empty. Each text is one
// line; a button's or an option's needs the whole line's height, a label's is lifted into its em
// (Controls.ALabelsTextIsNotCutOffWhateverFaceStandsIn), so only its width counts here.
std::string clipped(const ui::Control& control) {
    HWND h = FormWindow::nativeOf(control);
    const std::wstring text = widen(control.caption());
    if (!h || text.empty()) return {};
    RECT client{};
    GetClientRect(h, &client);
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(h, WM_GETFONT, 0, 0)));
    const bool label = control.kind() == ui::Kind::Label;
    RECT needs{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &needs, DT_CALCRECT | DT_SINGLELINE | (label ? DT_NOPREFIX : 0));
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    const int width = needs.right + widthBeside(control.kind());
    const int height = control.kind() == ui::Kind::Frame || label ? 0 : needs.bottom;
    if (width <= client.right && height <= client.bottom) return {};
    return control.name() + " \"" + control.caption() + "\": needs " + std::to_string(width) + "x" +
           std::to_string(height) + ", has " + std::to_string(client.right) + "x" + std::to_string(client.bottom);
}

std::vector<std::string> clippedTexts(ui::Form& form) {
    std::vector<std::string> found;
    for (const auto& control : form.controls()) {
        const ui::Kind kind = control->kind();
        if (kind != ui::Kind::Label && kind != ui::Kind::Button && kind != ui::Kind::Option &&
            kind != ui::Kind::Frame)
            continue;
        if (std::string cut = clipped(*control); !cut.empty()) found.push_back(cut);
    }
    return found;
}

class FormsFit : public ::testing::TestWithParam<int> {
protected:
    Harness h{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(At96And144, FormsFit, ::testing::Values(96, 144),
                         ::testing::PrintToStringParamName());

TEST_P(FormsFit, NoCaptionOptionOrButtonTextIsCutInTheProgramsWindows) {
    for (ui::FormDef (*define)() : {&SettingsWindow::definition, &TimeOfDayDialog::definition,
                                    &ExitWarning::definition, &AboutWindow::definition,
                                    &NoticeDialog::definition}) {
        BareForm form{h.runtime, define};
        form.load();
        EXPECT_EQ(clippedTexts(form), std::vector<std::string>{}) << form.name() << " at " << GetParam() << " DPI";
        form.unload();
    }
}

TEST_P(FormsFit, TheHourAndMinuteListsShowThreeWholeRows) {
    BareForm settings{h.runtime, &SettingsWindow::definition};
    settings.load();
    for (const char* name : {"List2", "List3"}) {
        HWND list = FormWindow::nativeOf(settings[name]);
        RECT client{};
        GetClientRect(list, &client);
        const auto row = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
        EXPECT_GE(client.bottom, 3 * row)
            << name << ": rows of " << row << " px in " << client.bottom << " px at " << GetParam() << " DPI";
    }
}

TEST_P(FormsFit, TheWarningsCountdownLineFitsOnOneLine) {
    BareForm warning{h.runtime, &ExitWarning::definition};
    warning.load();
    const ui::Control& line = warning["Label1"];
    ASSERT_EQ(line.caption(), "このまま何もしなければ３０秒後に");
    HWND native = FormWindow::nativeOf(line);
    RECT client{};
    GetClientRect(native, &client);
    HDC dc = GetDC(native);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(native, WM_GETFONT, 0, 0)));
    const std::wstring text = widen(line.caption());
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(native, dc);
    EXPECT_LE(size.cx, client.right) << "at " << GetParam() << " DPI";
}

}  // namespace
}  // namespace qm::win32::test
