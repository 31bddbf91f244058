// The next-due selection over large schedule files, beside the floor of merely reading and
// decoding the same file; start-up's selection with the settings list; and the removal of past
// entries from a long list.
#include <benchmark/benchmark.h>

#include <map>
#include <random>

#include "platform/os_services.h"
#include "schedule/exit_method.h"
#include "schedule/next_due.h"
#include "schedule/schedule_entry.h"
#include "schedule/schedule_list.h"
#include "tests/support/fake_clock.h"
#include "tests/support/temp_folder.h"

namespace qm {
namespace {

using namespace std::chrono;

const LocalTime kNow = test::at(2010y / 6 / 15, 12, 30, 20);

// Dated entries spread over the years the two-digit field can name, a third every-day ones.
std::vector<std::string> generateLines(std::size_t count) {
    std::mt19937 random(static_cast<unsigned>(count));
    const std::string_view methods[] = {kShutdownWord, kForcedExitWord, kRestartWord, kLogoffWord};
    std::vector<std::string> lines;
    lines.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto method = methods[random() % 4];
        if (random() % 3 == 0) {
            lines.push_back(everyDayEntry(static_cast<int>(random() % 24), static_cast<int>(random() % 60), method));
        } else {
            const local_days day = local_days{1930y / 1 / 1} + days{random() % 36500};
            lines.push_back(datedEntry(day + minutes{random() % 1440}, method));
        }
    }
    return lines;
}

// One file per size, written once for the whole run.
struct Fixture {
    test::TempFolder folder;
    std::unique_ptr<FileSystem> files = makeFileSystem();
    std::unique_ptr<TextCodec> codec = makeShiftJisCodec();
    std::map<std::size_t, std::string> paths;

    const std::string& scheduleOf(std::size_t lines) {
        auto it = paths.find(lines);
        if (it != paths.end()) return it->second;
        std::string text;
        for (const auto& line : generateLines(lines)) text += line + "\r\n";
        const std::string path = folder.path(std::to_string(lines) + "/Dtddta.wet");
        std::filesystem::create_directory(folder.folder() / std::to_string(lines));
        if (!files->replaceAll(path, codec->encode(text).value()).ok) std::abort();
        return paths.emplace(lines, path).first->second;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ReadAndDecode(benchmark::State& state) {
    auto& f = fixture();
    const std::string& path = f.scheduleOf(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::string bytes;
        f.files->readAll(path, bytes);
        benchmark::DoNotOptimize(f.codec->decode(bytes));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Selection(benchmark::State& state) {
    auto& f = fixture();
    const ScheduleFile file{*f.files, *f.codec, f.scheduleOf(static_cast<std::size_t>(state.range(0)))};
    const test::FakeClock clock{kNow};
    Schedule schedule{file, clock};
    for (auto _ : state) {
        schedule.selectNextDue();
        benchmark::DoNotOptimize(schedule.nextDue());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// What start-up does before the tray menu: the selection, and the settings list, which the
// selection counts, made from the text it has just read.
void BM_SelectionAndList(benchmark::State& state) {
    auto& f = fixture();
    const ScheduleFile file{*f.files, *f.codec, f.scheduleOf(static_cast<std::size_t>(state.range(0)))};
    const test::FakeClock clock{kNow};
    Schedule schedule{file, clock};
    ScheduleList list{file};
    schedule.setEntryCount([&](const ScheduleText& read) { return list.count(read); });
    for (auto _ : state) {
        list.discard();
        schedule.selectNextDue();
        benchmark::DoNotOptimize(list.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_WithoutPastEntries(benchmark::State& state) {
    const auto lines = generateLines(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto copy = lines;
        state.ResumeTiming();
        benchmark::DoNotOptimize(withoutPastEntries(std::move(copy), kNow));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// 設定: the list joined, encoded (and checked to read back the same), and the file replaced.
void BM_Save(benchmark::State& state) {
    auto& f = fixture();
    ScheduleFile file{*f.files, *f.codec, f.scheduleOf(static_cast<std::size_t>(state.range(0)))};
    ScheduleList list{file};
    list.load();
    for (auto _ : state) {
        if (!file.rewriteJoined(list.joined()).ok) std::abort();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_Save)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndDecode)->Arg(1'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Selection)->Arg(1'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectionAndList)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WithoutPastEntries)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qm

BENCHMARK_MAIN();
