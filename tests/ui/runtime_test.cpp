// The form runtime's own rules, on the headless back end: each form once, load and show, a
// control of an unloaded form a fault, timers while loaded, unload back to the definition,
// modal pieces with timers ticking behind them, and nothing after the program's end. The keys
// and the focus are proven on the program's own windows, in tests/scenarios.
#include "platform/ui/runtime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_backend.h"
#include "platform/headless/virtual_clock.h"

namespace qm::ui {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;
using headless::HeadlessBackend;
using headless::VirtualClock;

// A window with a label, a timer, a button, two option groups and a popup menu.
FormDef probeDefinition(std::string name, int timerInterval) {
    return {
        .name = std::move(name),
        .caption = "design",
        .clientWidth = 3000,
        .clientHeight = 2000,
        .controls =
            {
                {.kind = Kind::Label, .name = "Label1", .caption = "design"},
                {.kind = Kind::Timer, .name = "Timer1", .interval = timerInterval},
                {.kind = Kind::Button, .name = "Command1", .caption = "close"},
                {.kind = Kind::Frame, .name = "Frame1"},
                {.kind = Kind::Option, .name = "Option1", .parent = "Frame1", .value = true},
                {.kind = Kind::Option, .name = "Option2", .parent = "Frame1"},
                {.kind = Kind::Frame, .name = "Frame2"},
                {.kind = Kind::Option, .name = "Option3", .parent = "Frame2", .value = true},
                {.kind = Kind::Menu, .name = "mnu", .visible = false},
                {.kind = Kind::MenuItem, .name = "mnuA", .parent = "mnu", .caption = "A"},
                {.kind = Kind::MenuItem, .name = "mnuB", .parent = "mnu", .caption = "B", .enabled = false},
                {.kind = Kind::ListBox, .name = "List1"},
            },
    };
}
FormDef slowProbe() {
    return probeDefinition("Probe", 1000);
}
FormDef fastProbe() {
    return probeDefinition("Other", 100);
}

// Notes everything that happens to it in a shared log.
class Probe final : public Form {
public:
    Probe(Runtime& runtime, std::vector<std::string>& log, FormDef (*define)())
        : Form(runtime, define), log_(log) {}

    int loads = 0;
    int unloads = 0;

private:
    void bind() override {
        ctl("Timer1").onTimer = [this] { note("tick"); };
        ctl("Command1").onClick = [this] {
            note("click");
            unload();  // a handler may unload its own form
            note("after unload");
        };
        ctl("mnuA").onClick = [this] { note("A"); };
        ctl("mnuB").onClick = [this] { note("B"); };
    }
    void loaded() override {
        ++loads;
        note("load");
    }
    void unloading() override {
        ++unloads;
        note("unload");
    }
    void note(const std::string& what) { log_.push_back(name() + " " + what); }

    std::vector<std::string>& log_;
};

class FormRuntime : public ::testing::Test {
protected:
    FormRuntime() { backend.attach(runtime); }

    std::vector<std::string> takeLog() { return std::exchange(log, {}); }
    long ticksOf(const std::string& name) { return std::count(log.begin(), log.end(), name + " tick"); }

    VirtualClock clock{local_days{2000y / January / 1} + 12h};
    HeadlessBackend backend{clock};
    Runtime runtime{backend};
    std::vector<std::string> log;
    Probe probe{runtime, log, &slowProbe};
    Probe other{runtime, log, &fastProbe};
};

TEST_F(FormRuntime, LoadingALoadedFormDoesNothing) {
    probe.load();
    probe.load();
    EXPECT_EQ(probe.loads, 1);
    EXPECT_TRUE(probe.isLoaded());
    EXPECT_FALSE(probe.isVisible());
    EXPECT_NE(backend.windowId(probe), 0u);
}

TEST_F(FormRuntime, ShowLoadsOnceAndShowingAgainBringsTheFormToTheFront) {
    probe.show();
    other.show();
    EXPECT_EQ(backend.zOrder().back(), &other);
    probe.show();
    EXPECT_EQ(backend.zOrder().back(), &probe);
    EXPECT_EQ(probe.loads, 1);
    probe.hide();
    EXPECT_FALSE(probe.isVisible());
    EXPECT_TRUE(probe.isLoaded());
}

TEST_F(FormRuntime, AskingAnUnloadedFormForAControlOrAMenuIsAFaultAndLoadsNothing) {
    EXPECT_THROW(probe.ctl("Label1"), std::logic_error);
    probe.load();
    Control& menu = probe.ctl("mnu");
    probe.unload();
    EXPECT_THROW(probe.ctl("Label1"), std::logic_error);
    EXPECT_THROW(probe.popupMenu(menu, PopupButtons::Left), std::logic_error);
    EXPECT_EQ(takeLog(), (std::vector<std::string>{"Probe load", "Probe unload"}));
    EXPECT_FALSE(probe.isLoaded());
}

TEST_F(FormRuntime, TimersTickFromTheirLoadWhetherTheFormIsShownOrHidden) {
    backend.advance(300ms);
    probe.load();  // 300 ms in: first tick at 1300 ms
    backend.advance(999ms);
    EXPECT_EQ(ticksOf("Probe"), 0);
    backend.advance(1ms);
    EXPECT_EQ(ticksOf("Probe"), 1);
    probe.show();
    backend.advance(1s);
    probe.hide();
    backend.advance(2s);
    EXPECT_EQ(ticksOf("Probe"), 4);
}

TEST_F(FormRuntime, TimersOfDifferentFormsTickInTimeOrder) {
    probe.load();
    other.load();
    backend.advance(1s);
    const std::vector<std::string> expected{
        "Probe load", "Other load", "Other tick", "Other tick", "Other tick", "Other tick", "Other tick",
        "Other tick", "Other tick", "Other tick", "Other tick", "Probe tick", "Other tick"};
    EXPECT_EQ(takeLog(), expected);  // armed first, ticks first on a tie
}

TEST_F(FormRuntime, StoppingATimerStopsItAndStartingItAgainCountsAfresh) {
    probe.load();
    backend.advance(1500ms);
    probe.ctl("Timer1").setEnabled(false);
    backend.advance(3s);
    EXPECT_EQ(ticksOf("Probe"), 1);
    probe.ctl("Timer1").setEnabled(true);  // at 4500 ms
    backend.advance(999ms);
    EXPECT_EQ(ticksOf("Probe"), 1);
    backend.advance(1ms);
    EXPECT_EQ(ticksOf("Probe"), 2);
}

TEST_F(FormRuntime, UnloadStopsTheTimersAndTheNextLoadStartsFromTheDefinition) {
    probe.show();
    probe.ctl("Label1").setCaption("changed");
    probe.ctl("Option2").setValue(true);
    probe.unload();
    EXPECT_EQ(probe.unloads, 1);
    EXPECT_FALSE(probe.isLoaded());
    EXPECT_TRUE(backend.zOrder().empty());
    backend.advance(5s);
    EXPECT_EQ(ticksOf("Probe"), 0);

    probe.load();
    EXPECT_EQ(probe.ctl("Label1").caption(), "design");
    EXPECT_TRUE(probe.ctl("Option1").value());
    EXPECT_FALSE(probe.isVisible());
}

TEST_F(FormRuntime, AHandlerThatUnloadsItsOwnFormRunsToItsEnd) {
    probe.show();
    takeLog();
    runtime.click(probe.ctl("Command1"));
    EXPECT_EQ(takeLog(), (std::vector<std::string>{"Probe click", "Probe unload", "Probe after unload"}));
    EXPECT_FALSE(probe.isLoaded());
}

TEST_F(FormRuntime, AnOptionButtonClickSelectsItAndClearsOnlyItsOwnGroup) {
    probe.load();
    runtime.click(probe.ctl("Option2"));
    EXPECT_FALSE(probe.ctl("Option1").value());
    EXPECT_TRUE(probe.ctl("Option2").value());
    EXPECT_TRUE(probe.ctl("Option3").value());
}

TEST_F(FormRuntime, PropertyChangesReachTheBackEndWithoutTheHandlerKnowingIt) {
    probe.load();
    const long before = backend.changes();
    probe.ctl("Label1").setCaption("new");
    EXPECT_EQ(backend.changes(), before + 1);
    probe.ctl("Label1").setCaption("new");  // no change, nothing to mirror
    EXPECT_EQ(backend.changes(), before + 1);
}

TEST_F(FormRuntime, AListShowsItsModelAndTheSelectionStaysOnItsItem) {
    StringListModel model;
    model.assign({"a", "b", "c", "d"});
    probe.load();
    Control& list = probe.ctl("List1");
    list.showModel(model);
    EXPECT_EQ(list.items(), (std::vector<std::string>{"a", "b", "c", "d"}));
    struct Step {
        const char* what;
        std::function<void()> change;
        int selected;  // the list's selection afterwards, starting from "c" (2)
    };
    for (const Step& step : {
             Step{"an earlier row removed", [&] { model.remove(0); }, 1},
             Step{"a later row removed", [&] { model.remove(3); }, 2},
             Step{"the selected row removed", [&] { model.remove(2); }, -1},
             Step{"a row appended", [&] { model.append("e"); }, 2},
             Step{"everything replaced", [&] { model.assign({"x"}); }, -1},
         }) {
        model.assign({"a", "b", "c", "d"});
        list.setListIndex(2);
        const long before = backend.changes();
        step.change();
        EXPECT_EQ(list.listIndex(), step.selected) << step.what;
        EXPECT_EQ(backend.changes(), before + 1) << step.what;  // one change, whatever the list's length
    }
    probe.unload();
    const long before = backend.changes();
    model.append("f");  // a retired control no longer follows the model
    EXPECT_EQ(backend.changes(), before);
}

TEST_F(FormRuntime, AMessageBoxWaitsForItsAnswerWhileTimersKeepTicking) {
    probe.load();
    bool answered = false;
    runtime.messageBox("text", "title", MessageBoxButtons::Ok, [&] { answered = true; });
    ASSERT_EQ(backend.messageBoxes().size(), 1u);
    EXPECT_EQ(backend.messageBoxes()[0].text, "text");
    backend.advance(3s);
    EXPECT_EQ(ticksOf("Probe"), 3);
    EXPECT_FALSE(answered);

    EXPECT_TRUE(backend.answerMessageBox());
    EXPECT_TRUE(answered);
    EXPECT_TRUE(backend.messageBoxes().empty());
    EXPECT_FALSE(backend.answerMessageBox());
}

TEST_F(FormRuntime, APopupMenuRunsTheChosenItemThenItsContinuation) {
    probe.show();
    takeLog();
    probe.popupMenu(probe.ctl("mnu"), PopupButtons::Left, [&] { log.push_back("closed"); });
    ASSERT_TRUE(backend.openMenu());
    backend.advance(1s);                      // timers tick while the menu is open
    EXPECT_FALSE(backend.pickMenuItem("B"));  // disabled: the menu stays open
    EXPECT_FALSE(backend.pickMenuItem("nothing"));
    EXPECT_TRUE(backend.openMenu());
    EXPECT_TRUE(backend.pickMenuItem("A"));
    EXPECT_EQ(takeLog(), (std::vector<std::string>{"Probe tick", "Probe A", "closed"}));
    EXPECT_FALSE(backend.openMenu());
}

TEST_F(FormRuntime, ADismissedPopupMenuRunsOnlyItsContinuationAndSaysNothingWasChosen) {
    probe.show();
    takeLog();
    probe.popupMenu(probe.ctl("mnu"), PopupButtons::Left, ScreenPoint{40, 30},
                    [&](bool chosen) { log.push_back(chosen ? "chosen" : "dismissed"); });
    EXPECT_EQ(backend.openMenu()->at, (ScreenPoint{40, 30}));
    EXPECT_TRUE(backend.dismissMenu());
    EXPECT_EQ(takeLog(), std::vector<std::string>{"dismissed"});
    EXPECT_FALSE(backend.dismissMenu());
}

TEST_F(FormRuntime, TheCloseBoxUnloadsUnlessTheCloseCommandIsGreyed) {
    probe.show();
    runtime.closeRequested(probe);
    EXPECT_FALSE(probe.isLoaded());

    probe.show();
    probe.disableCloseCommand();
    runtime.closeRequested(probe);
    EXPECT_TRUE(probe.isVisible());
}

TEST_F(FormRuntime, NothingRunsAfterTheProgramEnds) {
    probe.show();
    bool answered = false;
    runtime.messageBox("text", "title", MessageBoxButtons::Ok, [&] { answered = true; });
    takeLog();

    runtime.end(3);
    EXPECT_TRUE(runtime.ended());
    EXPECT_EQ(backend.exitCode(), 3);
    EXPECT_TRUE(backend.messageBoxes().empty());  // gone with the program

    backend.advance(5s);
    runtime.click(probe.ctl("Command1"));
    other.load();
    EXPECT_TRUE(takeLog().empty());
    EXPECT_FALSE(answered);
    EXPECT_FALSE(other.isLoaded());
    EXPECT_EQ(probe.unloads, 0);  // no window is unloaded at the end
}

}  // namespace
}  // namespace qm::ui
