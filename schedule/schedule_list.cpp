// The settings window's list as a model: loading, edits that cost at most one pass, and the text
// that saving writes.
#include "schedule/schedule_list.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "schedule/schedule_entry.h"

namespace qm {

using Kind = ui::ListChange::Kind;

void ScheduleList::load() {
    if (!loaded_) load(file_.read());
}

void ScheduleList::load(const ScheduleText& read) {
    if (loaded_) return;
    text_ = read.text;  // one copy of the whole text, sized once
    index(read);
}

void ScheduleList::load(ScheduleText&& read) {
    if (loaded_) return;
    text_ = std::move(read.text);
    index(read);
}

void ScheduleList::index(const ScheduleText& read) {
    // The rows point into the decoded text as it is; the line ends between them count as unused
    // bytes, which the first compaction drops. One pass, no line copied.
    loaded_ = true;
    edited_ = false;
    loadedFrom_ = read.stamp;
    unreadable_.reset();
    if (read.state == ScheduleText::State::Unreadable) unreadable_ = read.reason;
    rows_.clear();
    rows_.reserve(static_cast<std::size_t>(std::count(text_.begin(), text_.end(), '\n')) + 1);
    std::size_t used = 0;
    forEachLine(text_, [&](std::string_view line) {
        rows_.push_back({static_cast<std::size_t>(line.data() - text_.data()), line.size()});
        used += line.size();
    });
    unused_ = text_.size() - used;
    notify({Kind::Reset});
}

void ScheduleList::discard() {
    if (!loaded_) return;
    loaded_ = false;
    edited_ = false;
    loadedFrom_ = {};
    unreadable_.reset();
    text_ = {};
    rows_ = {};
    unused_ = 0;
    notify({Kind::Reset});
}

std::size_t ScheduleList::count() {
    load();
    return rows_.size();
}

std::size_t ScheduleList::count(const ScheduleText& read) {
    load(read);
    return rows_.size();
}

std::string_view ScheduleList::item(std::size_t row) const {
    const Row& r = rows_.at(row);
    return std::string_view(text_).substr(r.offset, r.length);
}

void ScheduleList::append(std::string_view line) {
    load();
    edited_ = true;
    rows_.push_back({text_.size(), line.size()});
    text_.append(line);
    notify({Kind::Inserted, rows_.size() - 1, 1});
}

void ScheduleList::remove(std::size_t row) {
    load();
    if (row >= rows_.size()) throw std::out_of_range("ScheduleList::remove: no row " + std::to_string(row));
    edited_ = true;
    unused_ += rows_[row].length;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    compactIfSparse();
    notify({Kind::Removed, row, 1});
}

void ScheduleList::clear() {
    load();
    edited_ = true;
    text_.clear();
    rows_.clear();
    unused_ = 0;
    notify({Kind::Reset});
}

bool ScheduleList::removePast(LocalTime now) {
    load();
    // Removing a past entry never makes another one past or future, so one pass leaves the same
    // list as rescanning from the top after every removal.
    std::string kept;
    std::vector<Row> keptRows;
    kept.reserve(text_.size() - unused_);
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const std::string_view line = item(row);
        if (isPastDated(line, now)) continue;
        keptRows.push_back({kept.size(), line.size()});
        kept.append(line);
    }
    if (keptRows.size() == rows_.size()) return false;
    edited_ = true;
    text_ = std::move(kept);
    rows_ = std::move(keptRows);
    unused_ = 0;
    notify({Kind::Reset});
    return true;
}

std::string ScheduleList::joined() const {
    std::string out;
    out.reserve(text_.size() - unused_ + 2 * rows_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row) out.append(item(row)).append("\r\n");
    return out;
}

std::vector<std::string> ScheduleList::lines() const {
    std::vector<std::string> out;
    out.reserve(rows_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row) out.emplace_back(item(row));
    return out;
}

void ScheduleList::compactIfSparse() {
    // Deleted lines leave their text behind until it outweighs the live text.
    if (unused_ <= text_.size() / 2 || unused_ < 4096) return;
    std::string packed;
    packed.reserve(text_.size() - unused_);
    for (Row& r : rows_) {
        const std::size_t at = packed.size();
        packed.append(text_, r.offset, r.length);
        r.offset = at;
    }
    text_ = std::move(packed);
    unused_ = 0;
}

}  // namespace qm
