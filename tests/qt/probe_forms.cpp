// The test windows of the Qt back end's tests, as window definitions.
#include "tests/qt/probe_forms.h"

namespace qm::qt::test {

using ui::ControlDef;
using ui::Kind;

namespace {

ControlDef control(Kind kind, std::string name, std::string caption, ui::Rect rect, std::string parent = {}) {
    ControlDef c;
    c.kind = kind;
    c.name = std::move(name);
    c.caption = std::move(caption);
    c.rect = rect;
    c.parent = std::move(parent);
    return c;
}

}  // namespace

ui::FormDef probeDefinition() {
    ui::FormDef f;
    f.name = "Probe";
    f.caption = "ﾌﾟﾛｰﾌﾞ確認";
    f.clientWidth = 3195;
    f.clientHeight = 2475;
    f.border = ui::Border::FixedDialog;
    f.showInTaskbar = false;
    auto gothic = [](double points, bool bold) {
        return ui::Font{"ＭＳ Ｐゴシック", points, bold, ui::Charset::ShiftJis};
    };

    ControlDef label4 = control(Kind::Label, "Label4", "設定時間が来ました", {120, 120, 1830, 195});
    label4.foreColour = 0x000000FF;
    label4.font = gothic(9.75, true);
    f.controls.push_back(label4);
    ControlDef label3 = control(Kind::Label, "Label3", "30", {0, 960, 3135, 900});
    label3.font = ui::Font{"ＭＳ Ｐ明朝", 48, true, ui::Charset::ShiftJis};
    label3.align = ui::Align::Centre;
    f.controls.push_back(label3);
    ControlDef label2 = control(Kind::Label, "Label2", "XXXXXします", {120, 600, 1245, 195});
    label2.autoSize = true;
    label2.font = gothic(9.75, true);
    f.controls.push_back(label2);
    ControlDef link = control(Kind::Label, "Label5", "https://example.invalid/", {120, 1080, 2000, 255});
    link.font = ui::Font{"Times New Roman", 14.25, false, ui::Charset::Default};
    link.tooltip = "ＨＰに行く";
    link.tabIndex = 2;
    link.link = true;
    f.controls.push_back(link);
    ControlDef ok = control(Kind::Button, "Command1", "OK", {240, 2040, 1215, 375});
    ok.tabIndex = 1;
    ok.isDefault = true;
    f.controls.push_back(ok);
    ControlDef abort = control(Kind::Button, "Command2", "中止", {1560, 2040, 1215, 375});
    abort.tabIndex = 0;
    abort.isCancel = true;
    f.controls.push_back(abort);
    ControlDef timer = control(Kind::Timer, "Timer1", "", {});
    timer.interval = 100;
    f.controls.push_back(timer);
    f.controls.push_back(control(Kind::Menu, "mnuPopup", "PopUp", {}));
    f.controls.push_back(control(Kind::MenuItem, "mnuFirst", "最初(&F)", {}, "mnuPopup"));
    f.controls.push_back(control(Kind::MenuItem, "mnuSep", "-", {}, "mnuPopup"));
    f.controls.push_back(control(Kind::MenuItem, "mnuSecond", "二番目", {}, "mnuPopup"));
    f.controls.push_back(control(Kind::Line, "Line1", "", {120, 1440, 2880, 0}));
    ControlDef image = control(Kind::Image, "Image1", "", {120, 1500, 480, 480});
    image.icon = ui::Icon::Running;
    f.controls.push_back(image);
    return f;
}

ui::FormDef alertDefinition() {
    ui::FormDef f = probeDefinition();
    f.name = "Alert";
    f.role = ui::Role::Alert;
    return f;
}

// A settings-like form: a tab strip with a calendar, a frame of options, lists and a combo box.
ui::FormDef tabsDefinition() {
    ui::FormDef f;
    f.name = "Tabs";
    f.caption = "QuietusMachine";
    f.clientWidth = 7290;
    f.clientHeight = 2790;
    ControlDef tabs = control(Kind::TabStrip, "SSTab1", "", {0, 0, 3885, 2775});
    tabs.tabs = {"日付で設定", "タイマー設定", "詳細設定"};
    f.controls.push_back(tabs);
    ControlDef calendar = control(Kind::Calendar, "Calendar1", "", {120, 360, 3615, 2295}, "SSTab1");
    calendar.tab = 0;
    f.controls.push_back(calendar);
    ControlDef frame = control(Kind::Frame, "Frame1", "終了方法", {2040, 360, 1695, 1815}, "SSTab1");
    frame.tab = 1;
    f.controls.push_back(frame);
    ControlDef option1 = control(Kind::Option, "Option1", "シャットダウン", {120, 360, 1455, 255}, "Frame1");
    option1.value = true;
    f.controls.push_back(option1);
    f.controls.push_back(control(Kind::Option, "Option2", "強制終了", {120, 720, 1095, 255}, "Frame1"));
    ControlDef button =
        control(Kind::Button, "Command4", "スタートアップに登録", {240, 1080, 3375, 375}, "SSTab1");
    button.tab = 2;
    f.controls.push_back(button);
    ControlDef list = control(Kind::ListBox, "List1", "", {3960, 360, 3255, 1815});
    list.accessibleName = "予定一覧";
    f.controls.push_back(list);
    f.controls.push_back(control(Kind::ComboBox, "Combo1", "01時", {3960, 2280, 975, 300}));
    f.controls.push_back(control(Kind::Menu, "mnu_PopUp2", "PupUp2", {}));
    f.controls.push_back(control(Kind::MenuItem, "mnu_Del", "削除", {}, "mnu_PopUp2"));
    f.controls.push_back(control(Kind::MenuItem, "mnu_AllDel", "全て削除", {}, "mnu_PopUp2"));
    return f;
}

void Probe::bind() {
    for (const auto& c : controls()) {
        ui::Control* ctl = c.get();
        if (ctl->kind() == Kind::Timer) {
            ctl->onTimer = [this, ctl] { events.push_back(ctl->name() + "_Timer"); };
        } else if (ctl->name() != "Label4") {
            ctl->onClick = [this, ctl] {
                events.push_back(ctl->name() + "_Click");
                if (unloadOnClick) unload();
            };
        }
        ctl->onKeyDown = [this, ctl](ui::Key) { events.push_back(ctl->name() + "_KeyDown"); };
        ctl->onMouseDown = [this, ctl](const ui::MouseEvent& e) {
            events.push_back(ctl->name() + "_MouseDown " + std::to_string(e.button) + " " +
                             std::to_string(e.shift));
        };
        ctl->onContextMenu = [this, ctl](const ui::ContextMenuEvent& e) {
            events.push_back(ctl->name() + "_ContextMenu" + (e.fromKeyboard ? " key" : ""));
            contextAnchors.push_back(e.anchor);
        };
    }
}

}  // namespace qm::qt::test
