// Small windows for the Qt back end's tests: one like the warning (labels, OK as the default and
// 中止 as the cancel button, a timer, a menu, a line, an image), the same as an alert, and one like
// the settings window (a tab strip with a calendar, a frame of options, a list and a combo box),
// and a form that records what its handlers saw.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/form.h"

namespace qm::qt::test {

ui::FormDef probeDefinition();
ui::FormDef alertDefinition();
ui::FormDef tabsDefinition();

class Probe : public ui::Form {
public:
    Probe(ui::Runtime& rt, ui::FormDef (*define)()) : Form(rt, define) {}
    // "Command1_Click", "Timer1_Timer", "List1_MouseDown 2 1", "List1_KeyDown", …
    std::vector<std::string> events;
    std::vector<ui::ScreenPoint> contextAnchors;  // where each context menu was asked for
    bool unloadOnClick = false;

protected:
    void bind() override;
    void unloading() override { events.push_back("unloading"); }
};

}  // namespace qm::qt::test
