// The keyboard, on the program's own windows: the focus a window gives first, Tab and Shift+Tab,
// Enter and Esc, the arrows, Delete and the menu key on the settings list, and the tray menu's
// access keys. The rules are the form runtime's; a real back end adds only the native key.
#include <functional>

#include "tests/scenarios/scenario.h"

namespace qm::scenarios {
namespace {

using headless::Keystroke;
using enum headless::Keystroke;

const year_month_day kDay = 1998y / December / 1;
const auto kMorning = at(kDay, 9h);

class Keys : public Scenario {
protected:
    // The settings window open, its list holding `lines`.
    HeadlessApp& openSettingsWith(const std::vector<std::string>& lines) {
        writeSchedule(lines);
        HeadlessApp& app = startAt(kMorning);
        openSettings(app);
        return app;
    }
    // The exit warning of an entry due a second from now, just opened.
    HeadlessApp& openWarning() {
        writeSchedule({"98年12月01日 09時00分　再起動"});
        HeadlessApp& app = startAt(kMorning - 1s);
        advanceTo(kMorning);
        return app;
    }
    // The window of the notice's choices, opened by a click on the notice of an entry due at 09:05.
    HeadlessApp& openNoticeChoices() {
        writeSchedule({"98年12月01日 09時05分　再起動"});
        HeadlessApp& app = startAt(kMorning - 1s);
        advanceTo(kMorning);
        app.tray.clickNotice();
        return app;
    }
    // The focus after each key, starting with the one the window gave first.
    std::vector<std::string> focusWalk(std::string_view window, const std::vector<Keystroke>& keys) {
        std::vector<std::string> seen{app().focused(window)};
        for (Keystroke key : keys) {
            app().press(window, key);
            seen.push_back(app().focused(window));
        }
        return seen;
    }
};

TEST_F(Keys, EachWindowGivesTheFocusFirstAndTabGoesRoundItsTabOrder) {
    openSettingsWith({});
    // The label between キャンセル and the tabs takes no focus; controls on other tabs do not show.
    EXPECT_EQ(focusWalk("TimeDateSet", {Tab, Tab, Tab, Tab, Tab, ShiftTab, ShiftTab}),
              (std::vector<std::string>{"Command1", "List1", "Command2", "SSTab1", "Calendar1", "Command1",
                                        "Calendar1", "SSTab1"}));
    app().switchTab("TimeDateSet", "SSTab1", 2);
    EXPECT_EQ(focusWalk("TimeDateSet", {Tab, Tab}),
              (std::vector<std::string>{"SSTab1", "Command4", "Command5"}));

    openWarning();
    // An alert gives it to its default button, so that Enter answers it; labels are passed over.
    EXPECT_EQ(focusWalk("EndMessege", {Tab, Tab}),
              (std::vector<std::string>{"Command1", "Command2", "Command1"}));

    // The notice's choices start on キャンセル, so that a stray Enter changes nothing.
    openNoticeChoices();
    EXPECT_EQ(focusWalk("NoticeChoice", {Tab, Tab, Tab}),
              (std::vector<std::string>{"Command3", "Command1", "Command2", "Command3"}));
}

// Keys pressed in a window just opened, and what the user sees then.
struct KeyCase {
    const char* what;
    std::vector<Keystroke> keys;
    bool goesAhead;  // the warning's count goes on to the request; the settings are saved
};

TEST_F(Keys, EnterClicksTheFocusedOrDefaultButtonAndEscTheCancelButton) {
    // OK hides the warning and the count goes on to the restart; 中止 ends it.
    for (const KeyCase& c : {KeyCase{"Enter: OK", {Enter}, true}, KeyCase{"Esc: 中止", {Escape}, false},
                             KeyCase{"Tab, Enter: the focused 中止", {Tab, Enter}, false},
                             KeyCase{"Tab, Space: the focused 中止", {Tab, Space}, false}}) {
        HeadlessApp& app = openWarning();
        for (Keystroke key : c.keys) app.press("EndMessege", key);
        EXPECT_EQ(app.isLoaded("EndMessege"), c.goesAhead) << c.what;
        EXPECT_FALSE(app.isVisible("EndMessege")) << c.what;
        app.advance(40s);
        EXPECT_EQ(app.session.requests.size(), c.goesAhead ? 1u : 0u) << c.what;
    }

    // 設定 saves the list as edited (its item deleted); キャンセル drops the edit. Enter on the
    // list is the default button's.
    const std::string before = "98年12月10日 09時00分　再起動";
    for (const KeyCase& c : {KeyCase{"Enter on 設定", {Tab, Delete, ShiftTab, Enter}, true},
                             KeyCase{"Enter on the list", {Tab, Delete, Enter}, true},
                             KeyCase{"Esc", {Tab, Delete, Escape}, false}}) {
        HeadlessApp& app = openSettingsWith({before});
        app.select("TimeDateSet", "List1", 0);
        app.press("TimeDateSet", ShiftTab);  // back to 設定, where the window started
        for (Keystroke key : c.keys) app.press("TimeDateSet", key);
        EXPECT_FALSE(app.isVisible("TimeDateSet")) << c.what;
        EXPECT_EQ(scheduleBytes().empty(), c.goesAhead) << c.what;
    }

    // The notice's choices: the entry comes due at 09:05 unless 今回は中止 or 10分延期 is pressed.
    for (const KeyCase& c : {KeyCase{"Enter: キャンセル", {Enter}, true}, KeyCase{"Esc", {Escape}, true},
                             KeyCase{"Tab, Enter: 今回は中止", {Tab, Enter}, false},
                             KeyCase{"Tab, Tab, Space: 10分延期", {Tab, Tab, Space}, false}}) {
        HeadlessApp& app = openNoticeChoices();
        for (Keystroke key : c.keys) app.press("NoticeChoice", key);
        EXPECT_FALSE(app.isLoaded("NoticeChoice")) << c.what;
        advanceTo(kMorning + 5min);
        EXPECT_EQ(app.isVisible("EndMessege"), c.goesAhead) << c.what;
    }
}

TEST_F(Keys, TheAboutWindowsLinkTakesEnterAndSpaceOnlyOnceTabbedToAndEscClosesTheWindow) {
    HeadlessApp& app = openSettingsWith({});
    app.switchTab("TimeDateSet", "SSTab1", 2);
    app.click("TimeDateSet", "Command6");
    EXPECT_EQ(app.focused("About"), "");  // nothing takes the focus but the link, which Enter would follow
    app.press("About", Enter);
    EXPECT_TRUE(app.shell.opened.empty());
    app.press("About", Tab);
    EXPECT_EQ(app.focused("About"), "Label5");
    app.press("About", Enter);
    app.press("About", Space);
    EXPECT_EQ(app.shell.opened.size(), 2u);
    app.press("About", Escape);
    EXPECT_FALSE(app.isLoaded("About"));
}

TEST_F(Keys, ArrowsAndEnterOnTheCalendarOpenTheDialogForTheDayChosen) {
    HeadlessApp& app = openSettingsWith({});
    for (int i = 0; i < 4; ++i) app.press("TimeDateSet", Tab);
    ASSERT_EQ(app.focused("TimeDateSet"), "Calendar1");
    for (Keystroke key : {Right, Down, Down, Left}) app.press("TimeDateSet", key);
    EXPECT_FALSE(app.isLoaded("TimeSet"));  // the arrows only move the day
    app.press("TimeDateSet", Enter);
    ASSERT_TRUE(app.isVisible("TimeSet"));
    EXPECT_EQ(app.caption("TimeSet", "Label1"), "98年12月15日");

    // In the dialog, the arrows go round an option group, choosing as they go; Esc cancels.
    const std::string first = app.focused("TimeSet");
    app.press("TimeSet", Down);
    EXPECT_NE(app.focused("TimeSet"), first);
    EXPECT_TRUE(app.control("TimeSet", app.focused("TimeSet")).value());
    app.press("TimeSet", Escape);
    EXPECT_FALSE(app.isLoaded("TimeSet"));
}

TEST_F(Keys, TheSettingsListTakesTheArrowsDeleteAndTheMenuKey) {
    HeadlessApp& app = openSettingsWith({"98年12月10日 09時00分　再起動", "98年12月11日 09時00分　ログオフ",
                                         "98年12月12日 09時00分　強制終了"});
    app.press("TimeDateSet", Tab);
    for (Keystroke key : {Down, Down, Down, Down, Up}) app.press("TimeDateSet", key);
    EXPECT_EQ(app.control("TimeDateSet", "List1").listIndex(), 1);
    app.press("TimeDateSet", Delete);
    EXPECT_EQ(app.settingsList(), (std::vector<std::string>{"98年12月10日 09時00分　再起動",
                                                            "98年12月12日 09時00分　強制終了"}));

    // The menu key: the list's menu, at the list rather than at the mouse.
    app.press("TimeDateSet", Up);
    app.pressMenuKey("TimeDateSet", "List1");
    EXPECT_EQ(menuSeen(app), (std::vector<std::string>{"削除", "全て削除"}));
    EXPECT_TRUE(app.menuAnchor());
    app.pickMenuItem("削除");
    EXPECT_EQ(app.settingsList(), std::vector<std::string>{"98年12月12日 09時00分　強制終了"});
}

TEST_F(Keys, TheTrayMenuFromTheKeyboardOpensAtTheIconAndGivesTheKeyboardBackWhenDismissed) {
    HeadlessApp& app = startAt(kMorning);
    const TrayAnchor icon = ui::ScreenPoint{1000, 750};
    app.trayClick(TrayClick::Primary, icon);
    EXPECT_EQ(app.menuAnchor(), icon);
    app.dismissMenu();
    EXPECT_EQ(app.tray.iconFocused, 1);

    app.trayClick(TrayClick::Primary);  // the mouse: at the mouse, and the focus stays where it is
    EXPECT_EQ(app.menuAnchor(), std::nullopt);
    app.dismissMenu();
    EXPECT_EQ(app.tray.iconFocused, 1);

    // Access keys pick their items, in either case; a chosen item leaves the focus alone.
    app.trayClick(TrayClick::Primary, icon);
    EXPECT_THROW(app.pressMenuAccessKey('q'), std::logic_error);
    app.pressMenuAccessKey('a');
    EXPECT_TRUE(app.isVisible("About"));
    EXPECT_EQ(app.tray.iconFocused, 1);
    app.trayClick(TrayClick::Primary, icon);
    app.pressMenuAccessKey('X');
    EXPECT_TRUE(app.ended());
}

}  // namespace
}  // namespace qm::scenarios
