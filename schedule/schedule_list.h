// The settings window's list: the schedule file's lines plus the user's unsaved edits. It comes
// into being on first use (reading the file), lives on while the settings window is closed
// without a decision, and is discarded by 設定 and キャンセル, so the next use reads the file
// again. The next-due selection counts it; list controls show it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/ui/list_model.h"
#include "schedule/schedule_file.h"

namespace qm {

class ScheduleList final : public ui::ListModel {
public:
    explicit ScheduleList(const ScheduleFile& file) : file_(file) {}

    bool isLoaded() const { return loaded_; }
    // Reads the file into the list unless it holds the list already; an absent or unreadable
    // file gives an empty list.
    void load();
    // The same from text already read from the file: a copy of it, or the text itself when the
    // caller has no further use for it.
    void load(const ScheduleText& read);
    void load(ScheduleText&& read);
    // Why the file could not be read when the list was loaded: such a list must not be saved
    // over the file, whose entries it never held.
    const std::optional<std::string>& unreadable() const { return unreadable_; }
    // Forgets the lines and every unsaved edit.
    void discard();
    // Whether the list has been edited since it was loaded.
    bool edited() const { return edited_; }
    // What the file held when the list was loaded from it.
    const FileStamp& loadedFrom() const { return loadedFrom_; }
    // The number of entries, reading the file first if the list does not exist yet.
    std::size_t count();
    // The same, making a list that does not exist yet from text already read.
    std::size_t count(const ScheduleText& read);

    // ui::ListModel. Reading never loads: an absent list has no rows.
    std::size_t size() const override { return rows_.size(); }
    std::string_view item(std::size_t row) const override;

    // Edits load the list first. Each costs time in proportion to the list's length at most.
    void append(std::string_view line);
    void remove(std::size_t row);
    void clear();
    // Every dated entry whose moment is not later than `now` goes, in one pass; every-day entries
    // and lines of neither layout stay. False when nothing was past.
    bool removePast(LocalTime now);

    // Every line, each ended by CR LF, as the file is written.
    std::string joined() const;
    std::vector<std::string> lines() const;

private:
    struct Row {
        std::size_t offset;
        std::size_t length;
    };
    void index(const ScheduleText& read);
    void compactIfSparse();

    const ScheduleFile& file_;
    bool loaded_ = false;
    bool edited_ = false;
    FileStamp loadedFrom_{};
    std::optional<std::string> unreadable_;
    // The lines' text, as decoded from the file and then appended to, and where each row's line
    // lies in it: a few bytes a row beyond the text itself, which keeps a schedule of a million
    // lines small and makes loading one pass.
    std::string text_;
    std::vector<Row> rows_;
    std::size_t unused_ = 0;  // bytes of text_ that no row points at any more
};

}  // namespace qm
