// The program as a whole: its services, the schedule engine and the six windows. Start-up,
// ownership and program end live here; every back end's main() builds one and calls start().
#pragma once

#include <optional>

#include "app/control.h"
#include "forms/about_window.h"
#include "forms/exit_warning.h"
#include "forms/notice_dialog.h"
#include "forms/settings_window.h"
#include "forms/time_of_day_dialog.h"
#include "forms/tray_window.h"
#include "forms/windows.h"
#include "platform/services.h"
#include "platform/ui/runtime.h"
#include "schedule/next_due.h"
#include "schedule/schedule_file.h"
#include "schedule/schedule_list.h"

namespace qm {

class Program final : public Windows, private Controlled {
public:
    Program(ui::Runtime& runtime, Services& services);

    // The single-instance check (a second copy shows "既に起動されています" and ends when the
    // message is closed), then the tray window loads and shows.
    void start();

    // Windows
    void showSettings() override;
    void showAbout(bool centred) override;
    void showWarning() override;
    void showWarningFor(WarningCause cause) override;
    bool warningOpen() const override { return warning.isLoaded(); }
    void showTimeOfDay(std::chrono::year_month_day day) override;
    void showNoticeChoices(const std::string& text, LocalTime occurrence) override;
    void endProgram() override;

    // The folder watcher saw the schedule file change: reselect, and let the list follow.
    void scheduleChangedOnDisk();

    ui::Runtime& ui;
    Services& services;
    ScheduleFile scheduleFile;
    ScheduleList scheduleList;
    Schedule schedule;

    AboutWindow about;
    TimeOfDayDialog timeOfDay;
    SettingsWindow settings;
    ExitWarning warning;
    NoticeDialog noticeChoices;
    TrayWindow tray;

private:
    // Controlled: what a request from outside reaches.
    bool paused() const override { return tray.paused(); }
    bool setPaused(bool paused) override { return tray.setPaused(paused); }
    Schedule& selection() override { return schedule; }
    LocalTime now() const override { return services.clock.now(); }
    bool waitForExit(const std::string& target, ExitMethod method) override;
    void cancelWaitForExit() override;
    // The program waited for has ended: the warning opens, unless paused.
    void exitWaitedFor();

    // What the file held at the last change seen, until a second read agrees with it.
    std::optional<FileStamp> settling_;
};

}  // namespace qm
