// The program as a whole: its services, the schedule engine and the five windows.
// Start-up and program end live here; every back end's main() builds one and calls start().
#pragma once

#include "forms/About.h"
#include "forms/EndMessege.h"
#include "forms/TimeDateSet.h"
#include "forms/TimeSet.h"
#include "forms/TraySmple.h"
#include "platform/services.h"
#include "platform/ui/runtime.h"
#include "schedule/next_due.h"
#include "schedule/schedule_file.h"

namespace qm {

class Program {
public:
    Program(ui::Runtime& runtime, Services& services);

    // The single-instance check (a second copy shows "既に起動されています" and ends when the
    // message is closed), then TraySmple loads and shows.
    void start();
    // Ends the program at once; no window is unloaded.
    void end(int exitCode = 0);

    ui::Runtime& ui;
    Services& services;
    ScheduleFile scheduleFile;
    Schedule schedule;

    TraySmple traySmple;
    EndMessege endMessege;
    TimeDateSet timeDateSet;
    TimeSet timeSet;
    About about;
};

}  // namespace qm
