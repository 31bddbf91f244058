// Small forms of the tests' own with every kind of control, for building native windows from a
// definition the way the program's windows are built.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/ui/form.h"
#include "platform/ui/runtime.h"
#include "platform/win32/win32_backend.h"

namespace qm::win32::test {

// A dialog with labels, buttons, option buttons in a frame, list and combo boxes, an image, a
// line, a timer and a popup menu.
ui::FormDef panelDefinition();
// A window with a tab strip whose tabs hold a calendar, a frame with options, and a line.
ui::FormDef tabsDefinition();
// A borderless window kept off the taskbar with a popup menu, like a tray window.
ui::FormDef hiddenDefinition();

// Records what the handlers saw.
class RecordingForm : public ui::Form {
public:
    RecordingForm(ui::Runtime& runtime, ui::FormDef (*define)()) : ui::Form(runtime, define) {}

    std::vector<std::string> clicks;  // control names, in order
    struct MouseDown {
        std::string control;
        int button, shift;
        double x, y;
    };
    std::vector<MouseDown> mouseDowns;
    struct ContextMenu {
        std::string control;
        ui::ContextMenuEvent event;
    };
    std::vector<ContextMenu> contextMenus;
    std::vector<std::string> ticks;
    std::vector<std::string> keys;  // the controls the Delete key was pressed on
    int closeRequests = 0;

protected:
    void bind() override;
    void closeRequested() override {
        ++closeRequests;
        unload();
    }
};

// A back end and runtime, and the forms made on them.
struct Harness {
    explicit Harness(int dpi) : backend(Win32Backend::Options{.dpi = dpi}), runtime(backend) {}
    Win32Backend backend;
    ui::Runtime runtime;
};

std::wstring windowText(HWND hwnd);
// A child's rectangle in its parent's client coordinates.
RECT childRect(HWND child);
SIZE clientSize(HWND hwnd);
// Runs the message loop until `done` or `timeoutMs` passes.
bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 3000);

}  // namespace qm::win32::test
