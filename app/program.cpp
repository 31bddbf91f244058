// Start-up and program end: the single-instance check, the tray window, and the wiring between
// the schedule engine, the tray icon and the windows.
#include "app/program.h"

#include <string_view>

#include "forms/texts.h"

namespace qm {

namespace {

inline constexpr std::string_view kAlreadyRunning = "既に起動されています";
// After the reason, when a change on disk leaves a schedule file the program cannot read (or
// one saved in another encoding than Shift_JIS).
inline constexpr std::string_view kUnreadableNow = "予定ファイルを読み込めなくなったため、予定は空として扱います。";

}  // namespace

Program::Program(ui::Runtime& runtime, Services& services)
    : ui(runtime),
      services(services),
      scheduleFile(services.files, services.codec, services.folder.schedulePath(kScheduleFileName)),
      scheduleList(scheduleFile),
      schedule(scheduleFile, services.clock),
      about(runtime, services.shell),
      timeOfDay(runtime, scheduleList, services.clock),
      settings(runtime, {.list = scheduleList,
                         .file = scheduleFile,
                         .schedule = schedule,
                         .clock = services.clock,
                         .files = services.files,
                         .folder = services.folder,
                         .shell = services.shell,
                         .shortcut = services.shortcut,
                         .windows = *this}),
      warning(runtime, schedule, services.session, *this),
      noticeChoices(runtime, schedule),
      tray(runtime, services.tray, services.instance, schedule, services.clock, services.idle, *this) {
    // The settings list decides whether anything is scheduled; counting it makes it from the text
    // the selection has just read when it does not exist yet. No window loads for that.
    schedule.setEntryCount([this](const ScheduleText& read) { return scheduleList.count(read); });
    services.tray.setClickHandler([this](TrayClick click, TrayAnchor anchor) {
        ui.run([this, click, anchor] { tray.trayClicked(click, anchor); });
    });
    services.tray.setNoticeClickHandler([this] { ui.run([this] { tray.noticeClicked(); }); });
}

void Program::start() {
    if (services.instance.anotherRunning()) {
        // The running copy is left alone; this one ends when the message is closed.
        ui.messageBox(std::string(kAlreadyRunning), std::string(texts::kProgramTitle), ui::MessageBoxButtons::Ok,
                      [this] { endProgram(); });
        return;
    }
    // Changes on disk by anything else (an editor, a script, a deployment tool) take effect at
    // once, also while a message at start-up waits for an answer. Without a watcher the program
    // still reads the file at its usual moments.
    // The user's own schedule folder is made now, so that it can be watched before the first save.
    const std::string& scheduleFolder = services.folder.scheduleIn();
    if (scheduleFolder != services.folder.folder) services.files.makeFolder(scheduleFolder);
    services.watcher.watch(scheduleFolder, std::string(kScheduleFileName),
                           [this] { ui.run([this] { scheduleChangedOnDisk(); }); });
    tray.show();
    // Only the copy that owns the tray hears this user's requests; without the channel it runs on.
    services.control.listen([this](const std::string& request) {
        return answerLine(answerRequest(request, *this));
    });
}

void Program::scheduleChangedOnDisk() {
    if (ui.ended()) return;
    // The program's own saves leave the file as it last read it, and so does a change that was
    // undone: only what differs counts.
    const FileStamp onDisk = scheduleFile.stamp();
    // The list follows the file, unless the user is editing it in the open settings window: 設定
    // then asks which of the two to keep.
    const bool reloadList = scheduleList.isLoaded() && scheduleList.loadedFrom() != onDisk &&
                            !(settings.isVisible() && scheduleList.edited());
    if (!reloadList && schedule.lastRead() == onDisk) {
        settling_.reset();
        return;
    }
    // Read once more and once only: the selection and the list both take this text. A file still
    // being written (in pieces, by a slow writer) is acted on only once two reads a settle time
    // apart agree, never half-way.
    const ScheduleText read = scheduleFile.read();
    if (settling_ != read.stamp) {
        settling_ = read.stamp;
        services.watcher.reportAgain();
        return;
    }
    settling_.reset();
    if (reloadList) scheduleList.discard();
    if (schedule.lastRead() != read.stamp) {
        schedule.followChange(read);
        // Named as at start, once each time the file turns unreadable: unreadable files all
        // look alike, so a further change that keeps it unreadable is no change.
        if (read.state == ScheduleText::State::Unreadable)
            ui.messageBox(read.reason + "\n" + std::string(kUnreadableNow), std::string(texts::kProgramTitle));
    }
    if (reloadList) scheduleList.load(read);
}

void Program::showSettings() { settings.show(); }

void Program::showAbout(bool centred) {
    if (centred) {
        about.load();
        const ui::Size screen = ui.backend().screenSize();
        about.move((screen.width - about.width()) / 2, (screen.height - about.height()) / 2);
    }
    about.show();
}

void Program::showWarning() { warning.show(); }

void Program::showWarningFor(WarningCause cause) { warning.warnFor(std::move(cause)); }

void Program::showTimeOfDay(std::chrono::year_month_day day) { timeOfDay.openFor(day); }

void Program::showNoticeChoices(const std::string& text, LocalTime occurrence) {
    noticeChoices.openFor(text, occurrence);
}

void Program::endProgram() { ui.end(); }

bool Program::waitForExit(const std::string& target, ExitMethod method) {
    if (!services.processes.watch(target, [this] { exitWaitedFor(); })) return false;
    schedule.setWhenExits(Schedule::WhenExits{target, MethodWord::parse(wordOf(method))});
    return true;
}

void Program::cancelWaitForExit() {
    services.processes.cancel();
    schedule.setWhenExits(std::nullopt);
}

void Program::exitWaitedFor() {
    if (!ui.ended()) tray.waitedForEnded();
}

}  // namespace qm
