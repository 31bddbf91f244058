// Start-up and program end: the single-instance check, the tray window, and the wiring between
// the schedule engine, the tray icon and the windows.
#include "app/program.h"

#include <string_view>

#include "forms/texts.h"

namespace qm {

namespace {

inline constexpr std::string_view kAlreadyRunning = "既に起動されています";

}  // namespace

Program::Program(ui::Runtime& runtime, Services& services)
    : ui(runtime),
      services(services),
      scheduleFile(services.files, services.codec, services.folder.path(kScheduleFileName)),
      schedule(scheduleFile, services.clock),
      traySmple(*this),
      endMessege(*this),
      timeDateSet(*this),
      timeSet(*this),
      about(*this) {
    // The settings list decides whether anything is scheduled; asking for its count loads the
    // settings window hidden when it is not loaded, which reads the file into the list.
    schedule.setEntryCount([this] { return static_cast<std::size_t>(timeDateSet.ctl("List1").listCount()); });

    // Every mouse message on the icon reaches the window of the icon's record as a mouse move
    // whose X is the message number.
    services.tray.setMouseSink([this](std::uintptr_t window, unsigned message) {
        if (ui::Form* form = ui.formOfWindow(window)) ui.formMouseMove(*form, 0, 0, message, 0);
    });
}

void Program::start() {
    if (services.instance.anotherRunning()) {
        // The running copy is left alone; this one ends when the message is closed.
        ui.messageBox(std::string(kAlreadyRunning), std::string(texts::kProgramTitle), ui::kMbOk,
                      [this] { end(); });
        return;
    }
    traySmple.show();
}

void Program::end(int exitCode) {
    ui.end(exitCode);
}

}  // namespace qm
