// The controls of a form window: native children built from the control definitions, laid out
// from twips, and kept in step with the model's property changes.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <commctrl.h>

#include <algorithm>
#include <numeric>
#include <set>

#include "platform/win32/dpi.h"
#include "platform/win32/form_window.h"
#include "platform/win32/icons.h"
#include "platform/win32/line_window.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_backend.h"

namespace qm::win32 {
namespace {

bool isContainer(ui::Kind kind) {
    return kind == ui::Kind::Frame || kind == ui::Kind::TabStrip;
}

}  // namespace

int FormWindow::indexOf(const ui::Control& control) const {
    const auto& controls = form_.controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].get() == &control) return static_cast<int>(i);
    }
    return -1;
}

ui::Control* FormWindow::controlAt(int id) const {
    const auto& controls = form_.controls();
    const int index = id - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(controls.size())) return nullptr;
    return controls[static_cast<std::size_t>(index)].get();
}

ui::Control* FormWindow::controlOf(HWND child) const {
    if (!child || GetParent(child) != hwnd_) return nullptr;
    ui::Control* c = controlAt(GetDlgCtrlID(child));
    return c && nativeOf(*c) == child ? c : nullptr;
}

const ui::Control* FormWindow::container(const ui::Control& control) const {
    const std::string& parent = control.props().parent;
    if (parent.empty()) return nullptr;
    for (const auto& c : form_.controls()) {
        if (c->name() == parent && isContainer(c->kind())) return c.get();
    }
    return nullptr;
}

void FormWindow::createControls() {
    const auto& controls = form_.controls();
    // Creation order is the z-order and so the tab order: controls by tab index, then frames,
    // then tab strips, so that a container lies beneath what it holds.
    std::vector<int> order(controls.size());
    std::iota(order.begin(), order.end(), 0);
    auto layer = [&](int i) {
        const ui::Kind kind = controls[static_cast<std::size_t>(i)]->kind();
        return kind == ui::Kind::TabStrip ? 2 : kind == ui::Kind::Frame ? 1 : 0;
    };
    auto tabIndex = [&](int i) {
        const int t = controls[static_cast<std::size_t>(i)]->props().tabIndex;
        return t < 0 ? INT_MAX : t;
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return layer(a) != layer(b) ? layer(a) < layer(b) : tabIndex(a) < tabIndex(b);
    });
    std::set<std::string> groups;  // option buttons: one group per parent, begun by its first member
    for (int i : order) {
        ui::Control& c = *controls[static_cast<std::size_t>(i)];
        const bool first = c.kind() == ui::Kind::Option && groups.insert(c.props().parent).second;
        c.native = createControl(c, i, first);
    }
    for (const auto& c : controls) {
        HWND h = nativeOf(*c);
        if (!h) continue;
        applyFont(*c);
        listChanged(*c, ui::ListChange{ui::ListChange::Kind::Reset});
        applyTooltip(*c);
        applyIcon(*c);
        applyDate(*c);
        if (c->kind() == ui::Kind::Option)
            SendMessageW(h, BM_SETCHECK, c->value() ? BST_CHECKED : BST_UNCHECKED, 0);
        if (!c->enabled()) EnableWindow(h, FALSE);
    }
    layout();
}

HWND FormWindow::createControl(ui::Control& control, int index, bool firstOfGroup) {
    const ui::ControlDef& p = control.props();
    const int id = kFirstControlId + index;
    DWORD style = WS_CHILD, ex = 0;
    const wchar_t* windowClass = nullptr;
    std::wstring text = widen(p.caption);
    switch (p.kind) {
        case ui::Kind::Label:
            // Drawn by the form (form_painting.cpp); SS_NOTIFY lets it take clicks and show a tooltip.
            // A link is a stop of its own for Tab, as a button is.
            windowClass = L"STATIC";
            style |= WS_GROUP | SS_NOTIFY | SS_OWNERDRAW | (p.link ? WS_TABSTOP : 0);
            break;
        case ui::Kind::Button:
            windowClass = L"BUTTON";
            style |= WS_GROUP | WS_TABSTOP | (p.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case ui::Kind::Option:
            // Not an auto radio button: the model selects, the button shows.
            windowClass = L"BUTTON";
            style |= WS_TABSTOP | BS_RADIOBUTTON | (firstOfGroup ? WS_GROUP : 0);
            break;
        case ui::Kind::Frame:
            windowClass = L"BUTTON";
            style |= WS_GROUP | WS_CLIPSIBLINGS | BS_GROUPBOX;
            break;
        case ui::Kind::ListBox:
            // No data of its own: it draws its rows from the model (form_lists.cpp).
            windowClass = L"LISTBOX";
            style |= WS_GROUP | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NODATA | LBS_OWNERDRAWFIXED |
                     LBS_WANTKEYBOARDINPUT;
            ex |= WS_EX_CLIENTEDGE;
            text.clear();
            break;
        case ui::Kind::ComboBox:
            windowClass = L"COMBOBOX";
            style |= WS_GROUP | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
            break;
        case ui::Kind::Image:
            windowClass = L"STATIC";
            style |= WS_GROUP | SS_ICON | SS_CENTERIMAGE | SS_NOTIFY;
            text.clear();
            break;
        case ui::Kind::Calendar:
            windowClass = MONTHCAL_CLASSW;
            style |= WS_GROUP | WS_TABSTOP;
            text.clear();
            break;
        case ui::Kind::TabStrip:
            windowClass = WC_TABCONTROLW;
            style |= WS_GROUP | WS_TABSTOP | WS_CLIPSIBLINGS;
            text.clear();
            break;
        case ui::Kind::Line:
            return createLineWindow(hwnd_, control, id);
        case ui::Kind::Timer:
        case ui::Kind::Menu:
        case ui::Kind::MenuItem:
            return nullptr;
    }
    HWND hwnd = CreateWindowExW(ex, windowClass, text.c_str(), style, 0, 0, 0, 0, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                nullptr);
    if (!hwnd) return nullptr;
    if (p.kind == ui::Kind::ListBox || p.kind == ui::Kind::ComboBox) {
        listenForMouseDowns(hwnd, control);
    }
    if (p.kind == ui::Kind::Label || p.kind == ui::Kind::Image || p.kind == ui::Kind::ListBox) {
        answerScreenReaders(hwnd);
    }
    if (p.kind == ui::Kind::Label && p.link) takeLinkKeys(hwnd, control);
    if (p.kind == ui::Kind::TabStrip) {
        for (std::size_t i = 0; i < p.tabs.size(); ++i) {
            std::wstring caption = widen(p.tabs[i]);
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = caption.data();
            SendMessageW(hwnd, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageW(hwnd, TCM_SETCURSEL, static_cast<WPARAM>(control.currentTab()), 0);
    }
    return hwnd;
}

RECT FormWindow::pixelRect(const ui::Control& control) const {
    ui::Rect r = control.props().rect;
    for (const ui::Control* c = container(control); c; c = container(*c)) {
        r.left += c->props().rect.left;
        r.top += c->props().rect.top;
    }
    return twipsToPixels(r, dpi_);
}

void FormWindow::layout() {
    for (const auto& c : form_.controls()) {
        HWND h = nativeOf(*c);
        if (!h) continue;
        const RECT r = pixelRect(*c);
        if (c->kind() == ui::Kind::Line) {
            const RECT box = lineBox(POINT{r.left, r.top}, POINT{r.right, r.bottom});
            MoveWindow(h, box.left, box.top, box.right - box.left, box.bottom - box.top, TRUE);
            continue;
        }
        int height = r.bottom - r.top;
        // A combo box's window height includes its drop-down list; the edit field sizes to the font.
        if (c->kind() == ui::Kind::ComboBox) height += MulDiv(160, dpi_, kDefaultDpi);
        SetWindowPos(h, nullptr, r.left, r.top, r.right - r.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
        if (c->props().autoSize) autoSize(*c);
    }
    applyVisibility();
}

// Each control's window shows exactly when the form says the control shows (its containers
// visible, on the current tab): the controls are all children of the form's own window.
void FormWindow::applyVisibility() {
    for (const auto& c : form_.controls()) {
        HWND h = nativeOf(*c);
        if (!h) continue;
        const bool show = form_.shows(*c);
        const bool visible = (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0;
        if (show != visible) ShowWindow(h, show ? SW_SHOWNA : SW_HIDE);
    }
}

void FormWindow::applyFont(ui::Control& control) {
    HWND h = nativeOf(control);
    if (!h || control.kind() == ui::Kind::Line || control.kind() == ui::Kind::Image) return;
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(fittingFont(control)), TRUE);
    applyItemHeight(control);
    if (control.props().autoSize) autoSize(control);
}

// A stand-in face may run wider than the face the window was designed with: a one-line label whose
// text it would cut gets the face narrowed to the label's width.
HFONT FormWindow::fittingFont(const ui::Control& control) {
    const ui::Font font = control.props().font.value_or(defaultControlFont());
    HFONT plain = fonts_.get(font, dpi_);
    HWND h = nativeOf(control);
    if (control.kind() != ui::Kind::Label || control.props().autoSize || !isStandIn(font)) return plain;
    const std::wstring text = widen(control.caption());
    // The definition's size: the window may not have it yet.
    const int width = twipsToPixels(control.props().rect.width, dpi_);
    const int height = twipsToPixels(control.props().rect.height, dpi_);
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, plain);
    const auto lineOf = [&](HFONT face) {
        SelectObject(dc, face);
        SIZE line{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &line);
        return line;
    };
    const SIZE natural = lineOf(plain);
    HFONT fitting = plain;
    if (natural.cx > width && height < 2 * natural.cy && width > 0) {
        // The face's width does not scale its line exactly: narrowed until it fits, or by half.
        for (int percent = width * 100 / natural.cx; percent >= 50; percent -= 2) {
            fitting = fonts_.get(font, dpi_, percent);
            if (lineOf(fitting).cx <= width) break;
        }
    }
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    return fitting;
}

void FormWindow::applyTooltip(ui::Control& control) {
    HWND h = nativeOf(control);
    if (!h) return;
    std::wstring tip = widen(control.props().tooltip);
    if (!tooltip_) {
        if (tip.empty()) return;
        tooltip_ = CreateWindowExW(
            WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, MulDiv(600, dpi_, kDefaultDpi));
    }
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(h);
    tool.lpszText = tip.data();
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!tip.empty()) SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FormWindow::applyIcon(ui::Control& control) {
    HWND h = nativeOf(control);
    if (!h || control.kind() != ui::Kind::Image) return;
    const RECT r = pixelRect(control);
    const int size = std::max(1, static_cast<int>(std::min(r.right - r.left, r.bottom - r.top)));
    SendMessageW(h, STM_SETICON, reinterpret_cast<WPARAM>(programIcon(control.props().icon, size)), 0);
}

void FormWindow::applyDate(ui::Control& control) {
    HWND h = nativeOf(control);
    const std::chrono::year_month_day date = control.date();
    if (!h || control.kind() != ui::Kind::Calendar || !date.ok()) return;
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(static_cast<int>(date.year()));
    time.wMonth = static_cast<WORD>(static_cast<unsigned>(date.month()));
    time.wDay = static_cast<WORD>(static_cast<unsigned>(date.day()));
    time.wDayOfWeek = static_cast<WORD>(std::chrono::weekday{std::chrono::sys_days{date}}.c_encoding());
    SendMessageW(h, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&time));
}

HBRUSH FormWindow::brush(ui::Colour colour) {
    auto [it, made] = brushes_.try_emplace(colour, nullptr);
    if (made) it->second = CreateSolidBrush(colourRef(colour));
    return it->second;
}

LRESULT FormWindow::onColour(HDC dc, HWND child) {
    ui::Control* c = controlOf(child);
    if (!c) {
        return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(child));
    }
    const auto& p = c->props();
    SetTextColor(dc, p.foreColour ? colourRef(*p.foreColour) : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, backgroundOf(*c));
    return reinterpret_cast<LRESULT>(backgroundBrush(*c));
}

void FormWindow::changed(ui::Control& control, ui::Prop prop) {
    HWND h = nativeOf(control);
    switch (prop) {
        case ui::Prop::Caption:
            if (!h || control.kind() == ui::Kind::MenuItem) return;
            SetWindowTextW(h, widen(control.caption()).c_str());
            if (control.kind() == ui::Kind::Label) {
                applyFont(control);  // sizes or fits it anew
                // Readers that follow the text (the warning's count) learn of each change; it
                // is not an alert, and nothing is read out unasked.
                announce(EVENT_OBJECT_NAMECHANGE, h);
            }
            break;
        case ui::Prop::Rect:
            layout();
            applyIcon(control);
            break;
        case ui::Prop::Font:
            applyFont(control);
            break;
        case ui::Prop::ForeColour:
            if (h) InvalidateRect(h, nullptr, TRUE);
            break;
        case ui::Prop::Tooltip:
            applyTooltip(control);
            break;
        case ui::Prop::Enabled:
            if (h) EnableWindow(h, control.enabled());
            break;
        case ui::Prop::Visible:
            applyVisibility();
            break;
        case ui::Prop::Value:
            if (h && control.kind() == ui::Kind::Option) {
                SendMessageW(h, BM_SETCHECK, control.value() ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            break;
        case ui::Prop::ListIndex:
            applySelection(control);
            break;
        case ui::Prop::Interval:
            timerChanged(control);
            break;
        case ui::Prop::Date:
            applyDate(control);
            break;
        case ui::Prop::CurrentTab:
            if (h) SendMessageW(h, TCM_SETCURSEL, static_cast<WPARAM>(control.currentTab()), 0);
            applyVisibility();
            break;
        case ui::Prop::Icon:
            applyIcon(control);
            if (h) announce(EVENT_OBJECT_NAMECHANGE, h);  // the lamp's name follows the lamp
            break;
    }
}

}  // namespace qm::win32
