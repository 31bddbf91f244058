// The settings list as a model: it reads the file once, edits tell their views exactly what
// changed, and discarding forgets every unsaved edit.
#include "schedule/schedule_list.h"

#include <gtest/gtest.h>

#include "platform/os_services.h"
#include "tests/support/fake_clock.h"
#include "tests/support/memory_file_system.h"

namespace qm {
namespace {

using namespace std::chrono;
using Kind = ui::ListChange::Kind;
using Lines = std::vector<std::string>;

class SettingsList : public ::testing::Test {
protected:
    SettingsList() {
        list.watch(this, [this](const ui::ListChange& c) { changes.push_back(c); });
    }
    void save(const Lines& lines) { ASSERT_TRUE(file.rewrite(lines).ok); }

    test::MemoryFileSystem files;
    std::unique_ptr<TextCodec> codec = makeShiftJisCodec();
    ScheduleFile file{files, *codec, "/prog/Dtddta.wet"};
    ScheduleList list{file};
    std::vector<ui::ListChange> changes;
};

TEST_F(SettingsList, TheListIsReadOnceAndReadAgainOnlyAfterItIsDiscarded) {
    save({"98年12月10日 09時00分　再起動", "毎日実行　　　　22時30分　再起動"});
    EXPECT_EQ(list.size(), 0u);  // looking never loads
    EXPECT_EQ(list.count(), 2u);
    save({"98年12月24日 09時00分　ログオフ"});
    list.append("98年12月25日 10時00分　強制終了");
    EXPECT_EQ(list.lines(), (Lines{"98年12月10日 09時00分　再起動", "毎日実行　　　　22時30分　再起動",
                                   "98年12月25日 10時00分　強制終了"}));
    list.discard();
    EXPECT_FALSE(list.isLoaded());
    EXPECT_EQ(list.count(), 1u);
    EXPECT_EQ(list.lines(), Lines{"98年12月24日 09時00分　ログオフ"});
    // Text the selection has just read makes a list that does not exist yet, and only such a list.
    const ScheduleText read{ScheduleText::State::Read, "x\r\ny\r\n", {}};
    EXPECT_EQ(list.count(read), 1u);
    list.discard();
    EXPECT_EQ(list.count(read), 2u);
}

TEST_F(SettingsList, EachEditTellsItsViewsWhatChanged) {
    save({"a", "b", "c"});
    list.load();
    changes.clear();
    struct Step {
        const char* what;
        std::function<void()> edit;
        Lines after;
        ui::ListChange change;
    };
    const LocalTime now = local_days{1998y / 12 / 6} + 12h;
    for (const Step& s : {
             Step{"append", [&] { list.append("d"); }, {"a", "b", "c", "d"}, {Kind::Inserted, 3, 1}},
             Step{"remove", [&] { list.remove(1); }, {"a", "c", "d"}, {Kind::Removed, 1, 1}},
             Step{"clear", [&] { list.clear(); }, {}, {Kind::Reset, 0, 0}},
             Step{"remove past",
                  [&] {
                      list.append("98年12月06日 11時59分　再起動");
                      list.append("毎日実行　　　　00時00分　再起動");
                      list.append("98年12月06日 12時01分　再起動");
                      changes.clear();
                      EXPECT_TRUE(list.removePast(now));
                      EXPECT_FALSE(list.removePast(now));  // nothing more is past
                  },
                  {"毎日実行　　　　00時00分　再起動", "98年12月06日 12時01分　再起動"},
                  {Kind::Reset, 0, 0}},
         }) {
        changes.clear();
        s.edit();
        EXPECT_EQ(list.lines(), s.after) << s.what;
        ASSERT_EQ(changes.size(), 1u) << s.what;
        EXPECT_EQ(changes[0].kind, s.change.kind) << s.what;
        EXPECT_EQ(changes[0].first, s.change.first) << s.what;
        EXPECT_EQ(changes[0].count, s.change.count) << s.what;
    }
}

TEST_F(SettingsList, ManyDeletionsKeepEveryOtherLineIntactAndSaveAsCrLfLines) {
    Lines lines;
    for (int i = 0; i < 3000; ++i) lines.push_back("98年12月10日 09時00分　再起動 " + std::to_string(i));
    save(lines);
    Lines expected;
    for (int i = 0; i < 3000; i += 3) expected.push_back(lines[static_cast<std::size_t>(i)]);
    for (std::size_t row = 1; row < list.count(); ++row) {
        list.remove(row);  // the text behind deleted rows is packed away as it grows
        list.remove(row);
    }
    EXPECT_EQ(list.lines(), expected);
    ASSERT_TRUE(file.rewriteJoined(list.joined()).ok);
    list.discard();
    EXPECT_EQ(list.lines(), Lines{});
    EXPECT_EQ(list.count(), expected.size());
    EXPECT_EQ(list.lines(), expected);
}

}  // namespace
}  // namespace qm
