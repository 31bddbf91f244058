// Fuzzes the schedule file reader and the selection over a file in memory: a file in another
// encoding gives no lines, lines never hold a CR or an LF, nothing but line ends is lost, a save
// of what was read reads back the same, and the selection copes with whatever the file holds.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/os_services.h"
#include "schedule/next_due.h"
#include "schedule/schedule_file.h"
#include "tests/support/fake_clock.h"
#include "tests/support/memory_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace std::chrono;
    static const std::unique_ptr<qm::TextCodec> codec = qm::makeShiftJisCodec();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    qm::test::MemoryFileSystem files;
    files.files["/prog/Dtddta.wet"] = std::string(bytes);
    qm::ScheduleFile file{files, *codec, "/prog/Dtddta.wet"};
    const auto lines = file.readLines();

    // A file in another encoding (a UTF-8 or UTF-16 mark, or UTF-8 entries) is not read at all.
    if (file.read().state != qm::ScheduleText::State::Read) {
        QM_FUZZ_CHECK(lines.empty());
        return 0;
    }
    // The lines are the decoded text cut at its line ends, and nothing else.
    std::string joined;
    for (const auto& line : lines) {
        QM_FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
        joined += line;
    }
    const std::string text = codec->decode(bytes);
    std::string expected;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') continue;
        expected += text[i];
    }
    QM_FUZZ_CHECK(joined == expected);

    // Saved and read again, the list is the same.
    if (file.rewrite(lines).ok) QM_FUZZ_CHECK(file.readLines() == lines);

    // The selection takes any content; whatever it chooses is not in the past.
    qm::test::FakeClock clock{qm::test::at(year{2010} / 6 / 15, 12, 30, 0)};
    qm::Schedule schedule{file, clock};
    schedule.selectNextDue();
    const qm::NextDue& due = schedule.nextDue();
    if (due != qm::emptyNextDue()) QM_FUZZ_CHECK(due.date + due.time >= clock.now());
    return 0;
}
