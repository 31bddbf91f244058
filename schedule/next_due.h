// NextDue, the next-due selection and the due check.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "schedule/exit_method.h"
#include "schedule/schedule_file.h"

namespace qm {

struct NextDue {
    std::chrono::local_days date;
    std::chrono::seconds time{0};  // time of day; seconds always 00
    MethodWord method;             // no method and an empty word when nothing is scheduled
    // Where the entry came from, for messages about it: its line number in the file (from 1;
    // 0 when nothing is scheduled) and its text. Not part of what is due.
    std::size_t line = 0;
    std::string entry{};
    // Where the file had it, when the running program postponed it to this moment.
    std::optional<LocalTime> postponedFrom{};

    bool operator==(const NextDue& o) const { return date == o.date && time == o.time && method == o.method; }
};

// Before the first selection: 30 December 1899, never due.
NextDue initialNextDue();
// Nothing scheduled: 1900/01/01 00:00:00, empty method, never due.
NextDue emptyNextDue();

class Schedule {
public:
    Schedule(const ScheduleFile& file, const Clock& clock);

    // The number of entries in the settings window's list; an empty list means nothing is
    // scheduled, whatever the file says. Until one is set, the file's line count stands in. The
    // count is given the text the selection has just read, so a list that does not exist yet
    // can be made from it without reading and decoding the file a second time.
    using EntryCount = std::function<std::size_t(const ScheduleText& read)>;
    void setEntryCount(EntryCount count);

    // Which entries the selection passes over: those before now, or (after an abort) also the
    // entry of the current second, so an aborted warning does not come straight back.
    enum class Passing { BeforeNow, UpToNow };

    // Rereads the file and chooses the earliest entry not yet passed; the first in file order
    // wins a tie. An absent file leaves NextDue as it is; a file with no candidate, an empty
    // entry list, or a file that is there but cannot be read gives the empty state.
    void selectNextDue(Passing passing = Passing::BeforeNow);
    // The same over text already read from the file, or just written to it (which reading it back
    // would give again), so that it is not read and decoded twice.
    void selectNextDueIn(const ScheduleText& read);
    // The file was removed while the program ran: its entries are gone, so nothing is due until a
    // file comes back. (At start-up an absent file leaves the never-due value instead.)
    void fileRemoved();
    // Follows what was just read of a file that changed while the program ran: removed, it
    // schedules nothing (fileRemoved()); else the choice goes over the text read.
    void followChange(const ScheduleText& read);
    // What the file held when the selection last read it.
    const FileStamp& lastRead() const { return lastRead_; }

    // Run on every tick of the tray timer. The selection runs again on the first tick of a new
    // local date, so every-day entries come round again; once NextDue's second is over, so the
    // entry after it is chosen; and when the clock has gone back since the last tick. True when
    // the clock, read after any selection, shows NextDue's date and time to the second: a slow
    // selection can make an entry missed, never late. An entry that came due is remembered, so
    // that a clock set back over it cannot make it come due a second time.
    bool dueCheck();
    // The first moment after `now` at which the due check has something to do: NextDue's second,
    // its notice five minutes before, or the next midnight. The tray timer sleeps until then.
    LocalTime nextWake(LocalTime now) const;
    // Runs after every selection, so that a timer sleeping until nextWake() can wake in time for
    // what was chosen.
    void setSelected(std::function<void()> selected) { selected_ = std::move(selected); }

    // The entry whose notice comes next: the earliest moment, today's or tomorrow's, at least five
    // minutes ahead of the selection, of an entry that names a method and has not come due yet.
    // It is chosen apart from NextDue, so an entry due less than five minutes after another, or
    // just after midnight, still gets its notice.
    struct Notice {
        LocalTime moment;
        ExitMethod method;
    };
    const std::optional<Notice>& notice() const { return notice_; }
    // The notice the last due check found in its second (five minutes before the entry's moment),
    // once for each moment; the notice after it has been chosen by then.
    const std::optional<Notice>& noticeToTell() const { return noticeToTell_; }
    // NextDue's date and time as one moment.
    LocalTime nextDueMoment() const { return nextDue_.date + nextDue_.time; }
    // True when `now` is NextDue's second: on its date, at its time to the second. The initial and
    // empty states are never due.
    bool dueAt(LocalTime now) const { return now == nextDueMoment(); }
    // NextDue when it names an entry still ahead of `now`: what comes next, as the tray's tip says.
    // None before the first selection, with nothing scheduled, and from NextDue's second on.
    const NextDue* ahead(LocalTime now) const {
        return nextDue_.line != 0 && nextDueMoment() > now ? &nextDue_ : nullptr;
    }

    const NextDue& nextDue() const { return nextDue_; }

    // One-time changes to single occurrences, held by the running program only and never written
    // to the file: an occurrence skipped, or postponed to a later moment at which it fires once,
    // with its own notice. The selection and the notice's choice both go over them after every
    // read of the file, so they outlive changes of the file while they lie ahead. Anything else
    // that fires once outside the file would be one more row here.
    struct Adjustment {
        LocalTime from;               // the occurrence the file gives; it no longer fires there
        std::optional<LocalTime> to;  // postponed: where it fires instead; none: skipped
        MethodWord method;            // the entry's, as it was when postponed
        std::size_t line = 0;
        std::string entry;
    };
    const std::vector<Adjustment>& adjustments() const { return adjustments_; }
    // Skips what is due at `moment` (an occurrence the file gives, or one postponed to it): it does
    // not fire and gets no notice, and the choice moves on. False, nothing changed, when nothing
    // is due then or that moment is not ahead (it fired or passed).
    bool skip(LocalTime moment);
    // Postpones what is due at `moment` by `by`: it fires then, once, instead. Again on a
    // postponed occurrence, it moves further. False, as for skip(), when nothing is there ahead.
    bool postpone(LocalTime moment, std::chrono::minutes by);

    // The inactivity entries of the file as the last selection read it, in file order: those whose
    // idle time is one the program waits for. None while the settings list is empty.
    struct IdleEntry {
        std::chrono::minutes idle;
        MethodWord method;
        std::size_t line = 0;
        std::string entry;
        bool operator==(const IdleEntry&) const = default;
    };
    const std::vector<IdleEntry>& idleEntries() const { return idleEntries_; }

    // The other one-time thing the running program holds: the warning once no process of a program
    // is left (by its id or its name), with the method given; none when nothing waits. Setting it
    // counts as a selection, so the tray's tip follows.
    struct WhenExits {
        std::string target;
        MethodWord method;
    };
    const std::optional<WhenExits>& whenExits() const { return whenExits_; }
    void setWhenExits(std::optional<WhenExits> wait);

    // Why the last selection could not read the file, if it could not.
    const std::optional<std::string>& unreadable() const { return unreadable_; }

private:
    void selectAt(LocalTime now, Passing passing);
    void selectAt(LocalTime now, Passing passing, const ScheduleText& read);
    void choose(LocalTime now, Passing passing, const ScheduleText& read);
    bool fired(LocalTime moment) const;
    bool movedAway(LocalTime moment) const;
    // The first line of `read` that gives an occurrence at `moment`, not moved away; none, 0.
    std::size_t fileOccurrence(LocalTime moment, const ScheduleText& read, std::string_view* method,
                               std::string_view* entry) const;
    // Changes what is due at `moment` to fire at `to` (none: skipped).
    bool adjust(LocalTime moment, std::optional<LocalTime> to);

    const ScheduleFile& file_;
    const Clock& clock_;
    EntryCount entryCount_;
    NextDue nextDue_ = initialNextDue();
    std::chrono::local_days lastSeenDate_{};
    LocalTime lastCheck_{};
    std::optional<std::string> unreadable_;
    std::optional<Notice> notice_;
    std::optional<Notice> noticeToTell_;
    std::optional<LocalTime> told_;  // the moment whose notice was told last
    FileStamp lastRead_{};
    std::vector<LocalTime> fired_;  // the moments that came due, the latest last
    std::vector<Adjustment> adjustments_;
    std::vector<IdleEntry> idleEntries_;
    std::optional<WhenExits> whenExits_;
    std::function<void()> selected_;
};

}  // namespace qm
