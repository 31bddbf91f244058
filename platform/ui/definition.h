// Window definitions: a form and its controls as data, in twips, as the window tables give them.
// Forms describe themselves with these; back ends build native windows from them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm::ui {

using Colour = std::uint32_t;  // 0x00BBGGRR: red is 0x000000FF

inline constexpr int kTwipsPerInch = 1440;
// The character set a window table asks of a face: a Japanese face in its Shift_JIS set, or any.
enum class Charset { Default, ShiftJis };

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;  // twips, relative to the parent
    bool operator==(const Rect&) const = default;
};

struct Font {
    std::string face{};
    double points = 9.0;
    bool bold = false;
    Charset charset = Charset::Default;
    bool operator==(const Font&) const = default;
};

enum class Kind {
    Label,
    Button,
    Option,    // option (radio) button; one selected per parent
    Frame,     // group box; parent of option buttons
    ListBox,   // single selection
    ComboBox,  // drop-down list with an edit field
    Timer,     // invisible; ticks every `interval` ms while enabled and its form is loaded
    Image,     // shows `icon`
    Line,      // from (left, top) to (left + width, top + height)
    Menu,      // a popup menu; its items name it as parent
    MenuItem,  // caption "-" is a separator
    Calendar,  // month calendar; value is a date; a click on a day raises onClick
    TabStrip,  // tabs in one row; children name it as parent and give their `tab`
};

enum class Align { Left, Centre, Right };
enum class Icon { None, Running, Paused };  // the traffic light: green lamp lit, or red lamp lit
// What an image of the traffic light says to assistive technology.
constexpr std::string_view iconName(Icon icon) {
    switch (icon) {
        case Icon::Running: return "動作中";
        case Icon::Paused: return "停止中";
        case Icon::None: break;
    }
    return {};
}
enum class Border { None, FixedSingle, FixedDialog };
enum class StartPosition { Manual, CentreScreen };
// What a window is to assistive technology: the tray's own hidden window, a dialog named by its
// caption, or a dialog that must be announced the moment it opens.
enum class Role { Window, Dialog, Alert };

// Every member has a default, so a definition names only what differs (designated initializers).
struct ControlDef {
    Kind kind = Kind::Label;
    std::string name{};    // "Label2(0)" for a member of a control array
    std::string parent{};  // "" for the form; else a Frame, Menu or TabStrip of the same form
    int tab = -1;        // children of a TabStrip: the tab that shows them
    std::string caption{}; // caption; a combo box's edit text; a menu item's text
    Rect rect{};
    std::optional<Font> font{};
    std::optional<Colour> foreColour{};
    std::optional<Colour> backColour{};
    std::string tooltip{};
    int tabIndex = -1;
    Align align = Align::Left;
    bool autoSize = false;
    bool enabled = true;  // for a Timer: running
    bool visible = true;
    bool value = false;   // Option: selected
    int interval = 0;     // Timer: milliseconds
    std::vector<std::string> tabs{};  // TabStrip: captions
    Icon icon = Icon::None;         // Image
    bool isDefault = false;  // Button: Enter anywhere in the window clicks it
    bool isCancel = false;   // Button: Esc anywhere in the window clicks it
    bool link = false;       // Label: a link, reached by Tab like a button, clicked by Enter or Space
    // What a screen reader calls a control: the caption of the label named here, else this text
    // (for a control with no label of its own); see Form::accessibleName.
    std::string labelledBy{};
    std::string accessibleName{};
};

struct FormDef {
    std::string name{};
    std::string caption{};
    int clientWidth = 0;   // twips
    int clientHeight = 0;  // twips
    Border border = Border::FixedSingle;
    bool controlBox = true;  // the close box and the system menu
    bool minButton = false;
    bool maxButton = false;
    bool showInTaskbar = true;
    StartPosition startPosition = StartPosition::Manual;
    Icon icon = Icon::Running;
    Role role = Role::Dialog;
    std::vector<ControlDef> controls{};  // in the order of the definition
};

}  // namespace qm::ui
