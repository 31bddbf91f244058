// The settings window: the schedule list, a calendar to pick a day, timer entries, deleting, and
// "設定" that writes the list to the schedule file. Nothing reaches the file before "設定".
#pragma once

#include "forms/method_choice.h"
#include "forms/windows.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "platform/shell.h"
#include "platform/startup_shortcut.h"
#include "platform/ui/form.h"
#include "schedule/next_due.h"
#include "schedule/schedule_list.h"

namespace qm {

class SettingsWindow final : public ui::Form {
public:
    // What the window works with: the list it shows and edits, the file it saves to, the
    // selection it reruns, and the services its third tab reaches.
    struct Needs {
        ScheduleList& list;
        ScheduleFile& file;
        Schedule& schedule;
        const Clock& clock;
        const FileSystem& files;
        const ProgramFolder& folder;
        Shell& shell;
        StartupShortcut& shortcut;
        Windows& windows;
    };

    explicit SettingsWindow(ui::Runtime& runtime, Needs needs);
    static ui::FormDef definition();

private:
    void bind() override;

    // Loading, the clock label, saving and cancelling (settings_window.cpp).
    void loaded() override;
    void unloading() override;
    void clockTick();
    void saveClicked();
    void showSaveFailed(const std::string& reason);
    void cancelClicked();

    // Editing the list (settings_editing.cpp).
    void addTimerEntryClicked();
    void scheduleListMenuAsked(ui::ScreenPoint anchor);
    void writeList();
    void deleteChosen();
    void deleteAllChosen();
    void deletePastClicked();
    void calendarClicked();

    // The startup shortcut, About and help (settings_shell.cpp).
    void startupClicked();
    void aboutClicked();
    void helpClicked();

    Needs n_;

    ui::Control* clockTimer_ = nullptr;
    ui::Control* clockLabel_ = nullptr;
    ui::Control* scheduleList_ = nullptr;
    ui::Control* calendar_ = nullptr;
    ui::Control* hoursList_ = nullptr;
    ui::Control* minutesList_ = nullptr;
    ui::Control* listMenu_ = nullptr;
    ui::Control* deleteItem_ = nullptr;
    MethodOptions methods_;
};

}  // namespace qm
