// The program's windows on the Qt back end show every text whole in the faces that stand in for
// the Windows ones: each caption, option and line within its control and its control within the
// window, and the longest schedule entries within the list beside its scroll bar. CTest runs this
// at 96 and at 144 logical DPI.
#include <gtest/gtest.h>

#include <QDir>
#include <QListView>
#include <QTemporaryDir>
#include <fstream>

#include "app/program.h"
#include "platform/headless/recording_services.h"
#include "platform/os_services.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_units.h"
#include "tests/qt/qt_test_app.h"
#include "tests/support/fake_clock.h"

namespace qm::qt {
namespace {

using namespace std::chrono;

// The widest entries of each kind, and enough of them that the list scrolls.
const std::vector<std::string> kLongestEntries = {
    "毎日実行　　　　00時00分　強制終了", "毎日実行　　　　23時59分　ログオフ",
    "毎日実行　　　　22時30分　ｼｬｯﾄﾀﾞｳﾝ", "毎日実行　　　　07時45分　再起動",
    "98年12月31日 23時59分　強制終了",    "98年12月31日 23時59分　ログオフ",
    "26年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ",    "26年05月12日 13時05分　再起動",
    "28年11月28日 08時08分　強制終了",    "29年10月30日 18時18分　ログオフ",
    "30年12月29日 20時20分　強制終了",    "31年12月29日 20時20分　強制終了",
};

class WindowsFit : public ::testing::Test {
protected:
    WindowsFit() {
        test::app();
        backend.attach(runtime);
    }

    void writeSchedule(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        std::ofstream(folder.path().toStdString() + "/Dtddta.wet", std::ios::binary) << *codec->encode(text);
    }
    void expectWhole(const ui::Form& form) {
        EXPECT_EQ(backend.clippedTexts(form), QStringList())
            << form.name() << " at " << screenDpi() << " DPI";
    }

    QTemporaryDir folder;
    qm::test::FakeClock clock{qm::test::at(year{2026} / May / 12, 13, 4, 50)};
    std::unique_ptr<TextCodec> codec = makeShiftJisCodec();
    std::unique_ptr<FileSystem> files = makeFileSystem();
    headless::RecordingSessionEnd session;
    headless::RecordingTrayIcon tray;
    headless::RecordingShell shell;
    headless::RecordingStartupShortcut shortcut;
    headless::SettableSingleInstance instance;
    headless::ManualFolderWatcher watcher;
    NoControlChannel control;
    NoIdleSource idle;
    NoProcessWatch processes;
    Services services{clock, *codec,   *files,  {folder.path().toStdString(), '/'}, session, tray,
                      shell, shortcut, instance, watcher, control, idle, processes};
    QtBackend backend;
    ui::Runtime runtime{backend};
    Program program{runtime, services};
};

TEST_F(WindowsFit, the_settings_window_shows_the_longest_entries_whole_beside_the_scroll_bar) {
    writeSchedule(kLongestEntries);
    program.start();
    program.showSettings();
    ASSERT_EQ(program.scheduleList.count(), kLongestEntries.size());
    expectWhole(program.settings);
}

TEST_F(WindowsFit, the_hour_and_minute_lists_show_three_whole_rows) {
    program.start();
    program.showSettings();
    for (const char* name : {"List2", "List3"}) {
        auto* list = dynamic_cast<QListView*>(backend.object(program.settings[name]));
        ASSERT_NE(list, nullptr);
        ASSERT_GE(list->model()->rowCount(), 3);
        const QRect third = list->visualRect(list->model()->index(2, 0));
        EXPECT_LE(third.bottom(), list->viewport()->rect().bottom())
            << name << "'s third row ends at " << third.bottom() << " px, below its "
            << list->viewport()->height() << " px at " << screenDpi() << " DPI";
    }
}

TEST_F(WindowsFit, the_time_of_day_dialog_the_about_window_and_the_notices_choices_show_their_texts_whole) {
    program.start();
    program.showTimeOfDay(year{2026} / December / 28);
    expectWhole(program.timeOfDay);
    program.showAbout(true);
    expectWhole(program.about);
    // The longest notice: シャットダウン is the longest method's caption.
    program.showNoticeChoices("５分後にシャットダウンします。", clock.now() + minutes{5});
    expectWhole(program.noticeChoices);
}

TEST_F(WindowsFit, the_warning_shows_its_lines_whole_for_every_method) {
    for (const char* word : {"ｼｬｯﾄﾀﾞｳﾝ", "強制終了", "再起動", "ログオフ"}) {
        writeSchedule({std::string("26年05月12日 13時05分　") + word});
        program.start();
        program.schedule.selectNextDue();
        program.showWarning();
        ASSERT_EQ(program.warning.caption(), std::string(word) + "確認");
        expectWhole(program.warning);
        program.warning.unload();
        program.tray.unload();
    }
}

}  // namespace
}  // namespace qm::qt
