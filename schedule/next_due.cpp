// The next-due selection over the schedule file, and the due check of the tray timer.
#include "schedule/next_due.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "schedule/schedule_entry.h"

namespace qm {

using namespace std::chrono;

NextDue initialNextDue() { return {local_days{year{1899} / December / 30}, seconds{0}, {}}; }

NextDue emptyNextDue() { return {local_days{year{1900} / January / 1}, seconds{0}, {}}; }

Schedule::Schedule(const ScheduleFile& file, const Clock& clock) : file_(file), clock_(clock) {}

void Schedule::setEntryCount(EntryCount count) { entryCount_ = std::move(count); }

void Schedule::selectNextDue(Passing passing) { selectAt(clock_.now(), passing); }

void Schedule::selectNextDueIn(const ScheduleText& read) { selectAt(clock_.now(), Passing::BeforeNow, read); }

void Schedule::selectAt(LocalTime now, Passing passing) { selectAt(now, passing, file_.read()); }

namespace {

// Enough for any clock set back over a burst of entries that came due; older ones are forgotten.
constexpr std::size_t kFiredKept = 16;

}  // namespace

void Schedule::selectAt(LocalTime now, Passing passing, const ScheduleText& read) {
    choose(now, passing, read);
    if (selected_) selected_();
}

bool Schedule::fired(LocalTime moment) const {
    return std::find(fired_.begin(), fired_.end(), moment) != fired_.end();
}

void Schedule::choose(LocalTime now, Passing passing, const ScheduleText& read) {
    const local_days today = floor<days>(now);
    const year_month_day todayDate{today};
    lastSeenDate_ = today;

    // An absent file leaves NextDue alone: at start-up it keeps its never-due value. A file that
    // is there but cannot be read schedules nothing until it can.
    lastRead_ = read.stamp;
    if (read.state == ScheduleText::State::Absent) return;
    if (read.state == ScheduleText::State::Unreadable) {
        unreadable_ = read.reason;
        nextDue_ = emptyNextDue();
        notice_.reset();
        idleEntries_.clear();
        return;
    }
    unreadable_.reset();
    const std::string& text = read.text;
    // Changes a day behind are of no use any more (a day: a clock set back a little still sees them).
    std::erase_if(adjustments_, [&](const Adjustment& a) { return std::max(a.from, a.to.value_or(a.from)) < now - days{1}; });

    std::optional<LocalTime> best;
    std::string_view bestMethod, bestLine;  // point into `text`, copied once at the end
    std::size_t bestLineNumber = 0;
    std::size_t lineCount = 0;
    std::optional<Notice> notice;
    idleEntries_.clear();
    const auto noticeFor = [&](LocalTime moment, std::string_view word) {
        if (moment - minutes{5} < now || (notice && moment >= notice->moment) || moment == told_ || fired(moment))
            return;
        if (const auto method = methodFromWord(word)) notice = Notice{moment, *method};
    };
    // Whether an occurrence at `moment` may still come due.
    const auto candidate = [&](LocalTime moment) {
        if (moment < now || (passing == Passing::UpToNow && moment == now)) return false;
        // Came due already, and the clock has since been set back before it.
        return !(moment > now && fired(moment));
    };
    forEachLine(text, [&](std::string_view line) {
        ++lineCount;
        const auto fields = parseEntryFields(line);
        if (!fields) return;  // neither layout: it stays in the file, it never fires
        if (fields->kind == EntryKind::Idle) {  // no moment: the idle trigger waits for it
            if (const auto idle = idleThreshold(*fields))
                idleEntries_.push_back({*idle, MethodWord::parse(fields->method), lineCount, std::string(line)});
            return;
        }
        // Most dated entries of a long schedule lie on earlier days: a comparison of the date
        // fields passes over them without working out their moment.
        if (fields->kind == EntryKind::Dated && entryDate(*fields, todayDate.year()) < todayDate) return;
        auto moment = entryMoment(*fields, today);
        // Skipped or postponed by the running program: that occurrence is not the file's any more.
        if (moment && movedAway(*moment)) moment.reset();
        if (moment) noticeFor(*moment, fields->method);
        // Tomorrow's turn of an entry of the every-day shape may have its notice before midnight.
        if (fields->kind != EntryKind::Dated) {
            if (const auto tomorrow = entryMoment(*fields, today + days{1}); tomorrow && !movedAway(*tomorrow))
                noticeFor(*tomorrow, fields->method);
        }
        if (!moment || !candidate(*moment)) return;
        // Strictly earlier only: on a tie the line that came first keeps its method.
        if (!best || *moment < *best) {
            best = moment;
            bestMethod = fields->method;
            bestLine = line;
            bestLineNumber = lineCount;
        }
    });
    // Postponed occurrences, after the file's: on a tie the file's entry is chosen.
    const Adjustment* bestPostponed = nullptr;
    for (const Adjustment& a : adjustments_) {
        if (!a.to) continue;
        noticeFor(*a.to, a.method.word);
        if (!candidate(*a.to) || (best && *a.to >= *best)) continue;
        best = a.to;
        bestMethod = a.method.word;
        bestLine = a.entry;
        bestLineNumber = a.line;
        bestPostponed = &a;
    }

    // With no candidate NextDue is cleared rather than kept, so an entry the user deleted (or
    // one that has passed) can never come due again.
    if (best) {
        const local_days date = floor<days>(*best);
        nextDue_ = NextDue{date, *best - date, MethodWord::parse(bestMethod), bestLineNumber, std::string(bestLine)};
        if (bestPostponed) nextDue_.postponedFrom = bestPostponed->from;
    } else {
        nextDue_ = emptyNextDue();
    }
    notice_ = notice;
    // The settings list has the last word: an empty list means nothing is scheduled.
    const std::size_t entries = entryCount_ ? entryCount_(read) : lineCount;
    if (entries == 0) {
        nextDue_ = emptyNextDue();
        notice_.reset();
        idleEntries_.clear();
    }
}

void Schedule::fileRemoved() {
    nextDue_ = emptyNextDue();
    notice_.reset();
    idleEntries_.clear();
    unreadable_.reset();
    lastRead_ = {};
    if (selected_) selected_();
}

void Schedule::followChange(const ScheduleText& read) {
    if (read.state == ScheduleText::State::Absent)
        fileRemoved();
    else
        selectNextDueIn(read);
}

bool Schedule::movedAway(LocalTime moment) const {
    return std::any_of(adjustments_.begin(), adjustments_.end(), [&](const Adjustment& a) { return a.from == moment; });
}

std::size_t Schedule::fileOccurrence(LocalTime moment, const ScheduleText& read, std::string_view* method,
                                     std::string_view* entry) const {
    if (read.state != ScheduleText::State::Read || movedAway(moment)) return 0;
    const local_days day = floor<days>(moment);
    std::size_t lineCount = 0, found = 0;
    forEachLine(read.text, [&](std::string_view line) {
        ++lineCount;
        if (found) return;
        const auto fields = parseEntryFields(line);
        if (!fields || entryMoment(*fields, day) != moment) return;
        found = lineCount;
        *method = fields->method;
        *entry = line;
    });
    return found;
}

bool Schedule::adjust(LocalTime moment, std::optional<LocalTime> to) {
    const LocalTime now = clock_.now();
    // One that fired or went by stays as it was: a choice made too late changes nothing.
    if (moment <= now) return false;
    bool changed = false;
    for (Adjustment& a : adjustments_) {
        if (a.to != moment) continue;
        a.to = to;
        changed = true;
    }
    const ScheduleText read = file_.read();
    std::string_view method, entry;
    if (const std::size_t line = fileOccurrence(moment, read, &method, &entry)) {
        adjustments_.push_back({moment, to, MethodWord::parse(method), line, std::string(entry)});
        changed = true;
    }
    if (changed) selectAt(now, Passing::BeforeNow, read);
    return changed;
}

void Schedule::setWhenExits(std::optional<WhenExits> wait) {
    whenExits_ = std::move(wait);
    if (selected_) selected_();
}

bool Schedule::skip(LocalTime moment) { return adjust(moment, std::nullopt); }

bool Schedule::postpone(LocalTime moment, minutes by) { return adjust(moment, moment + by); }

bool Schedule::dueCheck() {
    LocalTime now = clock_.now();
    // While the program stays resident past midnight, every-day entries must come round again.
    // The selection may take a while over a long file: what is due is judged by the clock after it.
    if (floor<days>(now) != lastSeenDate_) {
        selectAt(now, Passing::BeforeNow);
        now = clock_.now();
    }
    // NextDue's second is over (or the clock was set past it): the next entry takes its place.
    // The clock set back: what lies ahead is chosen again.
    // So does a notice whose second went by unseen (the machine slept over it).
    if ((nextDue_.line != 0 && now > nextDueMoment()) || now < lastCheck_ ||
        (notice_ && now > notice_->moment - minutes{5})) {
        selectAt(now, Passing::BeforeNow);
        now = clock_.now();
    }
    lastCheck_ = now;
    const bool due = dueAt(now);
    if (due && !fired(now)) {
        if (fired_.size() == kFiredKept) fired_.erase(fired_.begin());
        fired_.push_back(now);
    }
    // The notice's second: it is told, and the next one chosen at once, after this second's due
    // check has been judged, so that an entry due soon after another gets its notice too.
    noticeToTell_.reset();
    if (notice_ && now == notice_->moment - minutes{5}) {
        noticeToTell_ = notice_;
        told_ = notice_->moment;
        selectAt(now, Passing::BeforeNow);
    }
    return due;
}

LocalTime Schedule::nextWake(LocalTime now) const {
    LocalTime wake = floor<days>(now) + days{1};
    for (const std::optional<LocalTime> moment :
         {nextDue_.line != 0 ? std::optional(nextDueMoment()) : std::nullopt,
          notice_ ? std::optional(notice_->moment - minutes{5}) : std::nullopt}) {
        if (moment && *moment > now && *moment < wake) wake = *moment;
    }
    return wake;
}


}  // namespace qm
