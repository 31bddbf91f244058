// The Startup shortcut, the About window with its link, and the help button.
#include <ostream>

#include "tests/scenarios/scenario.h"

namespace qm::scenarios {
namespace {

using headless::RecordingShell;
using headless::RecordingStartupShortcut;

const auto kNoon = at(1998y / December / 6, 12h);

class Shell : public Scenario {
protected:
    HeadlessApp& openDetails() {
        HeadlessApp& app = startAt(kNoon);
        openSettings(app);
        app.switchTab("TimeDateSet", "SSTab1", 2);
        return app;
    }
};

TEST_F(Shell, RegisterInStartupMakesTheShortcutWithTheFourArgumentsEachTime) {
    writeSchedule({"98年12月24日 10時00分　ログオフ"});
    const std::string before = scheduleBytes();
    HeadlessApp& app = openDetails();
    app.click("TimeDateSet", "Command4");
    app.click("TimeDateSet", "Command4");

    const RecordingStartupShortcut::Call expected{
        "QuietusMachine", app.folder().folder + app.folder().separator + "Quietus.exe", ""};
    EXPECT_EQ(app.shortcut.calls, (std::vector<RecordingStartupShortcut::Call>{expected, expected}));
    EXPECT_TRUE(app.messageBoxes().empty());
    EXPECT_TRUE(app.isVisible("TimeDateSet"));
    EXPECT_EQ(app.items("TimeDateSet", "List1"), std::vector<std::string>{"98年12月24日 10時00分　ログオフ"});
    EXPECT_EQ(scheduleBytes(), before);
}

TEST_F(Shell, TheAboutButtonTwiceLeavesOneAboutWindow) {
    HeadlessApp& app = openDetails();
    app.click("TimeDateSet", "Command6");
    const ui::Control* label = &app.control("About", "Label4");
    app.click("TimeDateSet", "Command6");

    EXPECT_TRUE(app.isOnScreen("About"));
    EXPECT_EQ(&app.control("About", "Label4"), label);
    EXPECT_EQ(app.backend.zOrder().back(), &app.form("About"));
    EXPECT_TRUE(app.isVisible("TimeDateSet"));
    EXPECT_EQ(app.form("About").caption(), "バージョン情報");
    EXPECT_EQ(app.caption("About", "Label4"), "QuietusMachine   ver1.0.01");
    EXPECT_EQ(app.control("About", "Label5").props().tooltip, "CobaltfenwickのＨＰに行く");
    EXPECT_TRUE(app.form("About").def().showInTaskbar);

    app.pressCloseBox("About");
    EXPECT_FALSE(app.isLoaded("About"));
}

TEST_F(Shell, TheTrayMenusAboutCentresTheWindowOnTheScreen) {
    HeadlessApp& app = startAt(kNoon);
    app.backend.setScreenSize({19200, 14400});
    app.trayClick(TrayClick::Primary);
    app.pickMenuItem("QTM About(&A)...");
    EXPECT_TRUE(app.isOnScreen("About"));
    EXPECT_EQ(app.form("About").left(), (19200 - 5295) / 2);
    EXPECT_EQ(app.form("About").top(), (14400 - 2730) / 2);
}

TEST_F(Shell, TheLinkOpensExactlyItsTextThroughTheShell) {
    HeadlessApp& app = openDetails();
    app.click("TimeDateSet", "Command6");
    app.click("About", "Label5");
    ASSERT_EQ(app.shell.opened.size(), 1u);
    EXPECT_EQ(app.shell.opened[0],
              (RecordingShell::Open{app.caption("About", "Label5"), std::nullopt}));
    EXPECT_TRUE(app.caption("About", "Label5").starts_with("http://"));
}

TEST_F(Shell, ScreenReadersHearEveryListAndTheFocusStartsOnWhatEnterShouldPress) {
    HeadlessApp& app = openDetails();
    const ui::Form& settings = app.form("TimeDateSet");
    EXPECT_EQ(settings.firstFocus(), &app.control("TimeDateSet", "Command1"));
    app.click("TimeDateSet", "Command6");
    EXPECT_EQ(app.form("About").firstFocus(), nullptr) << "the link is reached by Tab, not given the focus";
    EXPECT_EQ(settings.accessibleName(app.control("TimeDateSet", "List1")), "予定一覧");
    EXPECT_EQ(settings.accessibleName(app.control("TimeDateSet", "List2")), "何時間後に終了");
    EXPECT_EQ(settings.accessibleName(app.control("TimeDateSet", "List3")), "何分後に終了");
    EXPECT_EQ(settings.accessibleName(app.control("TimeDateSet", "Command1")), "設定");
}

struct HelpCase {
    const char* what;
    std::vector<const char*> files;  // relative to the program folder
    const char* opened;              // relative to the program folder
};

void PrintTo(const HelpCase& c, std::ostream* out) {
    *out << c.what;
}

class Help : public Shell, public ::testing::WithParamInterface<HelpCase> {};

TEST_P(Help, OpensTheHelpPageStoredExactlyAsHelpHtmOtherwiseTheReadme) {
    for (const char* file : GetParam().files) writeBytes(file, "<p>");
    HeadlessApp& app = openDetails();
    app.click("TimeDateSet", "Command7");
    ASSERT_EQ(app.shell.opened.size(), 1u);
    EXPECT_EQ(app.shell.opened[0], (RecordingShell::Open{path(GetParam().opened), std::string()}));
    EXPECT_TRUE(app.messageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, Help,
    ::testing::Values(HelpCase{"help_page_present", {"Help/Help.htm", "Readme.txt"}, "Help/Help.htm"},
                      HelpCase{"help_page_alone", {"Help/Help.htm"}, "Help/Help.htm"},
                      HelpCase{"help_folder_missing", {"Readme.txt"}, "Readme.txt"},
                      HelpCase{"help_page_missing", {"Help/Index.htm", "Readme.txt"}, "Readme.txt"},
                      HelpCase{"other_capitals", {"Help/help.htm", "Readme.txt"}, "Readme.txt"},
                      HelpCase{"neither_present", {}, "Readme.txt"}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace qm::scenarios
