// Fuzzes the line parser: it never reads out of bounds, it agrees with a plain reading by
// character position, and whatever it accepts can be rebuilt into a line that reads the same.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "schedule/schedule_entry.h"
#include "schedule/utf8.h"

namespace {

using namespace std::chrono;
using qm::EntryKind;

// The layouts read the slow, obvious way: split into characters first, then take positions.
std::optional<qm::ParsedEntry> referenceParse(std::string_view line) {
    std::vector<std::string_view> chars;
    for (std::size_t pos = 0; pos < line.size();) {
        const std::size_t len = qm::utf8CharLength(line, pos);
        chars.push_back(line.substr(pos, len));
        pos += len;
    }
    const auto number = [&](std::size_t i, int& out) {  // 1-based position, two characters
        const std::string_view a = chars[i - 1], b = chars[i];
        if (a.size() != 1 || b.size() != 1 || a[0] < '0' || a[0] > '9' || b[0] < '0' || b[0] > '9')
            return false;
        out = (a[0] - '0') * 10 + (b[0] - '0');
        return true;
    };
    const auto rest = [&](std::size_t from) {
        std::string out;
        for (std::size_t i = from - 1; i < chars.size(); ++i) out += chars[i];
        return out;
    };
    qm::ParsedEntry e;
    const auto head = [&](std::string_view a, std::string_view b, std::string_view c, std::string_view d) {
        return chars.size() >= 4 && chars[0] == a && chars[1] == b && chars[2] == c && chars[3] == d;
    };
    const std::string_view days[] = {"日", "月", "火", "水", "木", "金", "土"};
    bool dayShape = true;
    if (head("毎", "日", "実", "行")) {
        e.kind = EntryKind::EveryDay;
    } else if (head("平", "日", "実", "行")) {
        e.kind = EntryKind::Weekdays;
    } else if (head("週", "末", "実", "行")) {
        e.kind = EntryKind::Weekend;
    } else if (head("無", "操", "作", "時")) {
        e.kind = EntryKind::Idle;
    } else {
        dayShape = false;
        for (unsigned d = 0; d < 7; ++d) {
            if (head("毎", "週", days[d], "曜")) {
                e.kind = EntryKind::Weekly;
                e.weekday = weekday{d};
                dayShape = true;
            }
        }
    }
    if (dayShape) {
        if (chars.size() < 15 || !number(9, e.hour) || !number(12, e.minute)) return std::nullopt;
        e.method = rest(16);
        return e;
    }
    if (chars.size() < 17 || !number(1, e.year2) || !number(4, e.month) || !number(7, e.day) ||
        !number(11, e.hour) || !number(14, e.minute))
        return std::nullopt;
    e.method = rest(18);
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto parsed = qm::parseEntry(line);
    QM_FUZZ_CHECK(parsed == referenceParse(line));
    QM_FUZZ_CHECK(qm::isEveryDayLine(line) == line.starts_with("毎日実行"));

    const local_days today{year{2010} / 6 / 15};
    const qm::LocalTime now = today + hours{12} + minutes{30};
    const auto kept = qm::withoutPastEntries({std::string(line)}, now);
    if (!parsed) {
        QM_FUZZ_CHECK(kept.size() == 1);
        return 0;
    }
    const auto moment = qm::entryMoment(*parsed, today);
    if (parsed->kind == EntryKind::Dated)
        QM_FUZZ_CHECK(kept.size() == ((moment && *moment <= now) ? 0u : 1u));
    else
        QM_FUZZ_CHECK(kept.size() == 1);
    if (!moment) return 0;
    // An entry of the every-day shape stands for today only on its days.
    if (parsed->kind != EntryKind::Dated) QM_FUZZ_CHECK(floor<days>(*moment) == today);

    // Rebuilt from its fields, the entry reads back the same.
    const std::string rebuilt =
        parsed->kind == EntryKind::Dated
            ? qm::datedEntry(*moment, parsed->method)
            : qm::dayEntry(parsed->kind, parsed->weekday, parsed->hour, parsed->minute, parsed->method);
    QM_FUZZ_CHECK(qm::parseEntry(rebuilt) == parsed);
    QM_FUZZ_CHECK(qm::entryMoment(*qm::parseEntry(rebuilt), today) == moment);
    return 0;
}
