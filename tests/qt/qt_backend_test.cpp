// The Qt back end builds a form's window from its definition, mirrors the model's changes, and
// reports only the user's own actions back to the model.
#include "platform/qt/qt_backend.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QContextMenuEvent>
#include <QMenu>
#include <QWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "platform/os_services.h"
#include "platform/qt/qt_frame.h"
#include "platform/qt/qt_line.h"
#include "platform/qt/qt_units.h"
#include "tests/qt/probe_forms.h"
#include "tests/qt/qt_test_app.h"

namespace qm::qt {
namespace {

using namespace std::chrono;
using test::alertDefinition;
using test::Probe;
using test::probeDefinition;
using test::tabsDefinition;
using ui::Kind;

// A long list of the schedule's kind that counts the rows read from it.
class LongList final : public ui::ListModel {
public:
    explicit LongList(int rows) { reset(rows); }
    std::size_t size() const override { return items_.size(); }
    std::string_view item(std::size_t row) const override {
        ++reads;
        return items_.at(row);
    }
    void insert(std::size_t row, std::string item) {
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(row), std::move(item));
        notify({ui::ListChange::Kind::Inserted, row, 1});
    }
    void erase(std::size_t row) {
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(row));
        notify({ui::ListChange::Kind::Removed, row, 1});
    }
    void reset(int rows) {
        items_.clear();
        for (int i = 0; i < rows; ++i)
            items_.push_back("98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ " + std::to_string(i));
        notify({ui::ListChange::Kind::Reset});
    }
    mutable long reads = 0;

private:
    std::vector<std::string> items_;
};

QModelIndex row(QListView* list, int r) {
    return list->model()->index(r, 0);
}

int selectedRow(QListView* list) {
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

class QtBackendTest : public ::testing::Test {
protected:
    QtBackendTest() { backend.attach(runtime); }
    template <class T>
    T* widget(ui::Form& form, std::string_view name) {
        return dynamic_cast<T*>(backend.object(form.ctl(name)));
    }
    // Runs `action` on the modal piece (message box or menu) that opens next, from inside its loop.
    static void onNextModal(std::function<void(QWidget*)> action) {
        QTimer::singleShot(50, [action = std::move(action)] {
            QWidget* modal = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                               : QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            action(modal);
        });
    }

    QApplication& app = test::app();  // before the back end, which needs it
    QtBackend backend;
    ui::Runtime runtime{backend};
    Probe probe{runtime, probeDefinition};
    Probe tabs{runtime, tabsDefinition};
    Probe alert{runtime, alertDefinition};
};

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

TEST_F(QtBackendTest, the_window_is_built_hidden_at_the_definitions_twips_for_the_screens_dpi) {
    ASSERT_DOUBLE_EQ(screenDpi(), 96.0) << "Qt's offscreen screen has 96 logical DPI";
    probe.load();
    QWidget* window = backend.window(probe);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->size(), QSize(213, 165));  // 3195 x 2475 twips at 15 twips a pixel
    EXPECT_EQ(window->windowTitle(), QStringLiteral("ﾌﾟﾛｰﾌﾞ確認"));
    EXPECT_EQ(widget<QPushButton>(probe, "Command1")->geometry(), QRect(16, 136, 81, 25));
    const QRect counter = widget<QLabel>(probe, "Label3")->geometry();
    const QLabel* counterLabel = widget<QLabel>(probe, "Label3");
    EXPECT_EQ(counter.topLeft(), QPoint(0, 64 - baselineRaise(counterLabel->font(), 96)));
    EXPECT_EQ(counter.width(), 209);
    EXPECT_GE(counter.bottom(), 64 + 60 - 1) << "a label may grow to hold its line, never shrink";
    EXPECT_EQ(widget<QLabel>(probe, "Label3")->alignment(), Qt::AlignHCenter | Qt::AlignTop);
    EXPECT_EQ(widget<LineWidget>(probe, "Line1")->line().dx(), 192);
    EXPECT_TRUE(window->windowFlags() & Qt::Tool) << "kept off the taskbar";
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(QtBackendTest, twips_become_pixels_at_any_logical_dpi) {
    struct Case {
        int twips;
        double dpi;
        int pixels;
    } cases[] = {
        {1440, 96, 96}, {1440, 144, 144}, {375, 96, 25}, {375, 144, 38}, {-50000, 96, -3333}, {0, 120, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(twipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
    }
    EXPECT_EQ(pixelsToTwips(213, 96), 3195);
}

TEST_F(QtBackendTest, japanese_windows_faces_are_replaced_at_the_same_size_and_weight) {
    probe.load();
    const QFont gothic = widget<QLabel>(probe, "Label4")->font();
    EXPECT_EQ(gothic.families(), (QStringList{"IPAPGothic", "Noto Sans CJK JP"}));
    EXPECT_EQ(QFontInfo(gothic).family(), QStringLiteral("IPAPGothic")) << "the IPA fonts are installed";
    EXPECT_DOUBLE_EQ(gothic.pointSizeF(), 9.75);
    EXPECT_TRUE(gothic.bold());
    const QFont mincho = widget<QLabel>(probe, "Label3")->font();
    EXPECT_EQ(mincho.families(), (QStringList{"IPAPMincho", "Noto Serif CJK JP"}));
    EXPECT_DOUBLE_EQ(mincho.pointSizeF(), 48);
    const QFont times = widget<QLabel>(probe, "Label5")->font();
    EXPECT_TRUE(times.family() == QStringLiteral("Liberation Serif") ||
                times.family() == QStringLiteral("DejaVu Serif"))
        << times.family().toStdString();
    EXPECT_FALSE(times.bold());
    EXPECT_EQ(widget<QPushButton>(probe, "Command1")->font().families(), gothic.families())
        << "controls without a font of their own use the Japanese Gothic";
}

TEST(FontSubstitution, proportional_and_fixed_faces_get_their_ipa_counterpart_before_noto) {
    struct Case {
        const char* face;
        QStringList families;
    } cases[] = {
        {"MS UI Gothic", {"IPAPGothic", "Noto Sans CJK JP"}},
        {"ＭＳ ゴシック", {"IPAGothic", "Noto Sans CJK JP"}},
        {"ＭＳ 明朝", {"IPAMincho", "Noto Serif CJK JP"}},
        {"MS Mincho", {"IPAMincho", "Noto Serif CJK JP"}},
    };
    for (const Case& c : cases) EXPECT_EQ(substituteFamilies(c.face), c.families) << c.face;
}

TEST_F(QtBackendTest, colours_captions_and_tooltips_follow_the_model) {
    probe.load();
    auto* label4 = widget<QLabel>(probe, "Label4");
    EXPECT_EQ(label4->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(label4->text(), QStringLiteral("設定時間が来ました"));
    EXPECT_EQ(widget<QLabel>(probe, "Label5")->toolTip(), QStringLiteral("ＨＰに行く"));

    probe["Label3"].setCaption("7");
    probe["Label3"].setForeColour(0x00FF00FF);  // magenta in 0x00BBGGRR
    EXPECT_EQ(widget<QLabel>(probe, "Label3")->text(), QStringLiteral("7"));
    EXPECT_EQ(widget<QLabel>(probe, "Label3")->palette().color(QPalette::WindowText), QColor(255, 0, 255));
    probe.setCaption("強制終了確認");
    EXPECT_EQ(backend.window(probe)->windowTitle(), QStringLiteral("強制終了確認"));
}

TEST_F(QtBackendTest, an_auto_sized_label_fits_its_text_and_no_label_cuts_its_line) {
    probe.load();
    auto* label2 = widget<QLabel>(probe, "Label2");
    const int before = label2->width();
    probe["Label2"].setCaption("ｼｬｯﾄﾀﾞｳﾝします。");
    EXPECT_EQ(label2->size(), label2->sizeHint());
    EXPECT_NE(label2->width(), before);
    auto* label4 = widget<QLabel>(probe, "Label4");
    const int raise = baselineRaise(label4->font(), 96);
    EXPECT_EQ(raise, 0) << "IPA's baseline is the Windows Gothic's";
    QFont noto = label4->font();
    noto.setFamilies({"Noto Sans CJK JP"});
    EXPECT_GT(baselineRaise(noto, 96), 0) << "Noto's line is taller than the Windows Gothic's";
    EXPECT_EQ(label4->y(), 8 - raise) << "the baseline sits where the Windows face puts it";
    EXPECT_GE(label4->height(), label4->fontMetrics().height());
    EXPECT_GE(label4->geometry().bottom(), 8 + 13 - 1) << "and the label still covers its defined area";
}

TEST_F(QtBackendTest, a_button_click_reaches_its_handler_and_may_unload_the_form) {
    probe.unloadOnClick = true;
    probe.show();
    QPointer<QWidget> window = backend.window(probe);
    widget<QPushButton>(probe, "Command2")->click();
    EXPECT_EQ(probe.events, (std::vector<std::string>{"Command2_Click", "unloading"}));
    EXPECT_FALSE(probe.isLoaded());
    EXPECT_FALSE(window->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()) << "the window goes once its own signal has returned";
}

TEST_F(QtBackendTest, the_first_control_in_tab_order_has_the_focus_when_shown) {
    probe.show();
    QApplication::setActiveWindow(backend.window(probe));
    EXPECT_EQ(backend.window(probe)->focusWidget(), widget<QPushButton>(probe, "Command2"));
}

TEST_F(QtBackendTest, a_link_label_is_clicked_with_the_left_button_and_shows_a_pointing_hand) {
    probe.show();
    auto* link = widget<QLabel>(probe, "Label5");
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(link, &enter);
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(link, Qt::RightButton);
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(probe.events, (std::vector<std::string>{"Label5_Click"}));
}

TEST_F(QtBackendTest, the_close_box_unloads_unless_the_close_command_is_disabled) {
    probe.show();
    probe.disableCloseCommand();
    EXPECT_FALSE(backend.window(probe)->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(backend.window(probe)->close());
    EXPECT_TRUE(probe.isLoaded());
    EXPECT_TRUE(backend.window(probe)->isVisible());

    tabs.show();
    backend.window(tabs)->close();
    EXPECT_FALSE(tabs.isLoaded());
}

// On Wayland without the compositor's frames, Qt's own frame offered minimise and maximise
// buttons on fixed-size windows and cut the warning's title.
TEST_F(QtBackendTest, a_window_drawing_its_own_title_bar_offers_close_alone_and_keeps_its_controls_places) {
    QtBackend own(WindowPlacement::Compositor, TitleBars::Window);
    ui::Runtime ownRuntime(own);
    own.attach(ownRuntime);
    Probe warning(ownRuntime, probeDefinition), settings(ownRuntime, tabsDefinition);
    warning.show();
    QWidget* window = own.window(warning);
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window->size(), QSize(213 + 2, 165 + 30 + 1)) << "the bar above, a line round the rest";
    auto* command = dynamic_cast<QWidget*>(own.object(warning.ctl("Command1")));
    EXPECT_EQ(QRect(command->mapTo(window, QPoint()), command->size()), QRect(16 + 1, 136 + 30, 81, 25));
    const auto buttons = [&](ui::Form& form) { return own.window(form)->findChildren<QToolButton*>(); };
    ASSERT_EQ(buttons(warning).size(), 1) << "close, no minimise or maximise";
    EXPECT_EQ(buttons(warning)[0]->accessibleName(), QStringLiteral("閉じる"));

    warning.disableCloseCommand();
    EXPECT_FALSE(buttons(warning)[0]->isVisible());
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    settings.show();
    buttons(settings)[0]->click();
    EXPECT_FALSE(settings.isLoaded());
    EXPECT_TRUE(warning.isLoaded());
}

TEST_F(QtBackendTest, timers_tick_while_enabled_and_stop_when_disabled_or_unloaded) {
    probe.load();
    QTRY_VERIFY_WITH_TIMEOUT(probe.events.size() >= 2, 5000);
    EXPECT_EQ(probe.events.front(), "Timer1_Timer");
    auto* timer = widget<QTimer>(probe, "Timer1");
    EXPECT_EQ(timer->interval(), 100);
    probe["Timer1"].setEnabled(false);
    EXPECT_FALSE(timer->isActive());
    probe["Timer1"].setEnabled(true);
    EXPECT_TRUE(timer->isActive());
    probe.unload();
    EXPECT_FALSE(timer->isActive());
}

// A timer set for a moment waits on the real-time clock: it ticks once, as the clock the program
// reads shows that second, never before.
TEST_F(QtBackendTest, a_timer_set_for_a_moment_ticks_once_as_the_clock_shows_it) {
    const auto clock = makeSystemClock();
    probe.load();
    QTRY_VERIFY_WITH_TIMEOUT(!probe.events.empty(), 5000);
    const LocalTime target = clock->now() + std::chrono::seconds{1};
    probe["Timer1"].tickAt(target);
    probe.events.clear();
    QTRY_VERIFY_WITH_TIMEOUT(!probe.events.empty(), 3000);
    EXPECT_GE(clock->now(), target) << "never before its second";
    QTest::qWait(300);
    EXPECT_EQ(probe.events.size(), 1u) << "one tick, then it waits to be set again";
}

TEST_F(QtBackendTest, tab_strip_children_show_only_on_their_own_tab) {
    tabs.show();
    auto* calendar = widget<QCalendarWidget>(tabs, "Calendar1");
    auto* frame = widget<QGroupBox>(tabs, "Frame1");
    auto* button = widget<QPushButton>(tabs, "Command4");
    EXPECT_TRUE(calendar->isVisible());
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(button->isVisible());
    EXPECT_EQ(calendar->pos(), QPoint(8, 24)) << "positions count from the tab strip's corner";

    widget<QTabWidget>(tabs, "SSTab1")->setCurrentIndex(2);  // as the user does
    EXPECT_EQ(tabs["SSTab1"].currentTab(), 2);
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_TRUE(button->isVisible());
    tabs["SSTab1"].setCurrentTab(1);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(widget<QRadioButton>(tabs, "Option2")->isVisible());
    EXPECT_FALSE(button->isVisible());
}

// Qt said "focused" of the current tab, the list's current row and an editable combo box with its
// line edit whether or not they had the keyboard: a screen reader met three to five focused objects
// in the settings window. One says so: the control with the keyboard, or its current item.
TEST_F(QtBackendTest, one_object_of_the_window_reads_as_focused_the_one_with_the_keyboard) {
    tabs.show();
    QApplication::setActiveWindow(backend.window(tabs));
    for (const char* item : {"98年12月10日 09時00分　再起動", "毎日実行　　　　21時30分　ｼｬｯﾄﾀﾞｳﾝ"})
        tabs["List1"].addItem(item);
    auto* list = widget<QListView>(tabs, "List1");
    list->setCurrentIndex(row(list, 1));
    const std::function<void(QAccessibleInterface*, QList<QAccessibleInterface*>&)> collect =
        [&](QAccessibleInterface* object, QList<QAccessibleInterface*>& out) {
            if (object->state().focused) out << object;
            for (int i = 0; i < object->childCount(); ++i)
                if (QAccessibleInterface* child = object->child(i)) collect(child, out);
        };
    struct Case {
        QWidget* focus;
        QAccessible::Role role;
        QString name;
    } cases[] = {
        {list, QAccessible::ListItem, QStringLiteral("毎日実行　　　　21時30分　ｼｬｯﾄﾀﾞｳﾝ")},
        {widget<QTabWidget>(tabs, "SSTab1")->tabBar(), QAccessible::PageTab, QStringLiteral("日付で設定")},
        {widget<QComboBox>(tabs, "Combo1"), QAccessible::EditableText, QString()},
    };
    for (const Case& c : cases) {
        c.focus->setFocus();
        QList<QAccessibleInterface*> focused;
        collect(accessible(backend.window(tabs)), focused);
        ASSERT_EQ(focused.size(), 1) << "with the focus on " << c.focus->metaObject()->className();
        EXPECT_EQ(focused.front()->role(), c.role);
        EXPECT_EQ(focused.front()->text(QAccessible::Name), c.name);
    }
}

TEST_F(QtBackendTest, option_buttons_follow_the_model_and_a_click_selects_through_it) {
    tabs.show();
    auto* option1 = widget<QRadioButton>(tabs, "Option1");
    auto* option2 = widget<QRadioButton>(tabs, "Option2");
    EXPECT_TRUE(option1->isChecked());
    option2->click();
    EXPECT_TRUE(tabs["Option2"].value());
    EXPECT_FALSE(tabs["Option1"].value());
    EXPECT_EQ(tabs.events, (std::vector<std::string>{"Option2_Click"}));
    tabs["Option1"].setValue(true);
    EXPECT_TRUE(option1->isChecked());
    EXPECT_FALSE(option2->isChecked());

    // Tab and Shift+Tab enter the group on its checked option, as on Windows, whichever had the
    // focus last.
    tabs["SSTab1"].setCurrentTab(1);
    QApplication::setActiveWindow(backend.window(tabs));
    option1->setFocus();
    tabs["Option2"].setValue(true);
    auto* tabBar = widget<QTabWidget>(tabs, "SSTab1")->tabBar();
    auto* list = widget<QListView>(tabs, "List1");
    struct Step {
        QWidget* from;
        Qt::KeyboardModifiers modifiers;
        QWidget* to;
    };
    for (const Step& step : {Step{tabBar, Qt::NoModifier, option2}, Step{option2, Qt::NoModifier, list},
                             Step{list, Qt::ShiftModifier, option2}}) {
        step.from->setFocus();
        QTest::keyClick(step.from, Qt::Key_Tab, step.modifiers);
        EXPECT_EQ(QApplication::focusWidget(), step.to)
            << step.from->metaObject()->className() << " " << step.modifiers;
    }
}

TEST_F(QtBackendTest, a_click_on_a_calendar_day_sets_the_date_before_the_handler_runs) {
    tabs.load();
    tabs["Calendar1"].setDate(year{1998} / December / 6);
    auto* calendar = widget<QCalendarWidget>(tabs, "Calendar1");
    EXPECT_EQ(calendar->selectedDate(), QDate(1998, 12, 6));
    year_month_day seen{};
    tabs["Calendar1"].onClick = [&] { seen = tabs["Calendar1"].date(); };
    emit calendar->clicked(QDate(1998, 12, 24));
    EXPECT_EQ(seen, year{1998} / December / 24);
    calendar->setCurrentPage(1999, 1);  // paging is no click
    EXPECT_EQ(seen, year{1998} / December / 24);
}

// Read as a table, Orca spoke a whole week whenever an arrow entered a new row.
TEST_F(QtBackendTest, a_screen_reader_reads_the_calendar_as_a_list_of_days_the_chosen_one_alone_focused) {
    tabs.show();
    tabs["Calendar1"].setDate(year{1998} / December / 6);
    auto* grid = widget<QCalendarWidget>(tabs, "Calendar1")->findChild<QTableView*>();
    QAccessibleInterface* days = accessible(grid);
    ASSERT_EQ(days->role(), QAccessible::List);
    const auto focused = [&] {
        QStringList names;
        if (days->state().focused) names << QStringLiteral("the list");
        for (int i = 0; i < days->childCount(); ++i)
            if (days->child(i)->state().focused) names << days->child(i)->text(QAccessible::Name);
        return names;
    };
    EXPECT_EQ(focused(), QStringList()) << "no day has the focus while the grid has not";

    QApplication::setActiveWindow(backend.window(tabs));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Right);
    EXPECT_EQ(focused(), QStringList{QStringLiteral("7")});
    QAccessibleInterface* day = days->focusChild();
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->role(), QAccessible::ListItem);
    EXPECT_EQ(day->text(QAccessible::Name), QStringLiteral("7"));
    // Qt numbers the cells of a table view in its focus events as if it showed both headers.
    EXPECT_EQ(days->indexOfChild(day), (grid->currentIndex().row() + 1) * 8 + grid->currentIndex().column() + 1);
    EXPECT_TRUE(day->state().selected);
}

TEST_F(QtBackendTest,
       a_screen_reader_reads_each_window_by_its_role_and_caption_and_each_control_by_its_text) {
    alert.show();
    tabs.show();
    tabs["List1"].addItem("98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ");
    struct Case {
        QAccessibleInterface* object;
        QAccessible::Role role;
        QString name;
    };
    const Case cases[] = {
        {accessible(backend.window(alert)), QAccessible::AlertMessage, QStringLiteral("ﾌﾟﾛｰﾌﾞ確認")},
        {accessible(backend.window(tabs)), QAccessible::Dialog, QStringLiteral("QuietusMachine")},
        {accessible(widget<QLabel>(alert, "Label4")), QAccessible::StaticText,
         QStringLiteral("設定時間が来ました")},
        {accessible(widget<QLabel>(alert, "Image1")), QAccessible::Graphic, QStringLiteral("動作中")},
        {accessible(widget<QPushButton>(alert, "Command2")), QAccessible::Button, QStringLiteral("中止")},
        {accessible(widget<QGroupBox>(tabs, "Frame1")), QAccessible::Grouping, QStringLiteral("終了方法")},
        {accessible(widget<QRadioButton>(tabs, "Option1")), QAccessible::RadioButton,
         QStringLiteral("シャットダウン")},
        {accessible(widget<QTabWidget>(tabs, "SSTab1")->tabBar())->child(1), QAccessible::PageTab,
         QStringLiteral("タイマー設定")},
        {accessible(widget<QLabel>(alert, "Label5")), QAccessible::Link,
         QStringLiteral("https://example.invalid/")},
        {accessible(widget<QListView>(tabs, "List1")), QAccessible::List, QStringLiteral("予定一覧")},
        {accessible(
             widget<QCalendarWidget>(tabs, "Calendar1")->findChild<QToolButton*>("qt_calendar_nextmonth")),
         QAccessible::Button, QStringLiteral("次の月")},
        {accessible(
             widget<QTabWidget>(tabs, "SSTab1")->tabBar()->findChild<QToolButton*>("ScrollLeftButton")),
         QAccessible::Button, QStringLiteral("前のタブ")},
        {accessible(widget<QListView>(tabs, "List1"))->child(0), QAccessible::ListItem,
         QStringLiteral("98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ")},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.object, nullptr) << c.name.toStdString();
        EXPECT_EQ(c.object->role(), c.role) << c.name.toStdString();
        EXPECT_EQ(c.object->text(QAccessible::Name), c.name);
    }
    EXPECT_EQ(accessible(backend.window(alert))->text(QAccessible::Description), QString())
        << "a reader reads an alert's labels: a description saying them again is read twice";
    EXPECT_TRUE(accessible(widget<QPushButton>(alert, "Command1"))->state().defaultButton);
    EXPECT_EQ(backend.window(alert)->focusWidget(), widget<QPushButton>(alert, "Command1"))
        << "an alert gives the focus to its default button";
    alert["Image1"].setIcon(ui::Icon::Paused);
    EXPECT_EQ(accessible(widget<QLabel>(alert, "Image1"))->text(QAccessible::Name), QStringLiteral("停止中"));
}

TEST_F(QtBackendTest, enter_clicks_the_focused_or_default_button_esc_the_cancel_one_or_the_close_box) {
    probe.show();
    QWidget* window = backend.window(probe);
    QTest::keyClick(widget<QPushButton>(probe, "Command2"), Qt::Key_Return);  // 中止 has the focus
    window->focusWidget()->clearFocus();
    QTest::keyClick(window, Qt::Key_Enter, Qt::KeypadModifier);  // no button has it
    QTest::keyClick(widget<QPushButton>(probe, "Command1"), Qt::Key_Escape);
    // A link comes after the buttons in tab order; Enter and Space click it.
    QApplication::setActiveWindow(window);
    widget<QPushButton>(probe, "Command1")->setFocus();
    QTest::keyClick(widget<QPushButton>(probe, "Command1"), Qt::Key_Tab);
    auto* link = widget<QLabel>(probe, "Label5");
    EXPECT_EQ(window->focusWidget(), link);
    QTest::keyClick(link, Qt::Key_Return);
    QTest::keyClick(link, Qt::Key_Space);
    accessible(link)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());  // a screen reader's
    QCoreApplication::processEvents();
    const QImage focused = link->grab().toImage();
    link->clearFocus();
    EXPECT_NE(link->grab().toImage(), focused) << "the link shows that it has the focus";
    EXPECT_EQ(probe.events, (std::vector<std::string>{"Command2_Click", "Command1_Click", "Command2_Click",
                                                      "Label5_Click", "Label5_Click", "Label5_Click"}));

    // Delete goes to the control with the focus; Enter on a day chosen by arrows picks it.
    tabs.show();
    tabs["List1"].addItem("98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ");
    widget<QListView>(tabs, "List1")->setFocus();
    QTest::keyClick(widget<QListView>(tabs, "List1"), Qt::Key_Delete);
    tabs["Calendar1"].setDate(year{1998} / December / 6);
    auto* days = widget<QCalendarWidget>(tabs, "Calendar1")->findChild<QTableView*>();
    days->setFocus();
    QTest::keyClick(days, Qt::Key_Right);
    QTest::keyClick(days, Qt::Key_Return);
    EXPECT_EQ(tabs["Calendar1"].date(), year{1998} / December / 7);
    // Without a cancel button, Esc is the close box.
    QTest::keyClick(days, Qt::Key_Escape);
    EXPECT_EQ(tabs.events, (std::vector<std::string>{"List1_KeyDown", "Calendar1_Click", "unloading"}));
}

TEST_F(QtBackendTest, the_calendar_heading_reads_year_then_month_with_saturday_blue_and_sunday_red) {
    tabs.show();
    tabs["Calendar1"].setDate(year{2026} / December / 6);
    auto* calendar = widget<QCalendarWidget>(tabs, "Calendar1");
    auto* yearButton = calendar->findChild<QToolButton*>("qt_calendar_yearbutton");
    auto* monthButton = calendar->findChild<QToolButton*>("qt_calendar_monthbutton");
    ASSERT_TRUE(yearButton && monthButton);
    EXPECT_EQ(yearButton->text() + monthButton->text(), QStringLiteral("2026年12月"));
    EXPECT_LT(yearButton->x(), monthButton->x());
    EXPECT_EQ(calendar->weekdayTextFormat(Qt::Saturday).foreground().color(), QColor(Qt::blue));
    EXPECT_EQ(calendar->weekdayTextFormat(Qt::Sunday).foreground().color(), QColor(Qt::red));
    EXPECT_EQ(calendar->findChild<QToolButton*>("qt_calendar_prevmonth")->arrowType(), Qt::LeftArrow)
        << "the style's arrow, not Qt's large icon";
    calendar->showNextMonth();
    EXPECT_EQ(yearButton->text() + monthButton->text(), QStringLiteral("2027年1月"));
}

TEST_F(QtBackendTest, a_frames_title_sits_on_its_frame_line_above_the_first_option) {
    tabs.show();
    tabs["SSTab1"].setCurrentTab(1);
    auto* frame = dynamic_cast<FrameBox*>(backend.object(tabs["Frame1"]));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), QStringLiteral("終了方法"));
    const QRect title = frame->titleRect();
    EXPECT_EQ(title.top(), 0) << "the title's top is the frame's top, as the window's positions count it";
    EXPECT_LT(title.bottom(), widget<QRadioButton>(tabs, "Option1")->y());
    const QImage drawn = frame->grab().toImage();
    const int line = title.height() / 2, right = frame->width() - 8;
    EXPECT_NE(drawn.pixel(right, line), drawn.pixel(right, line + 3))
        << "the frame's top line runs through the middle of the title's line";
    EXPECT_EQ(drawn.pixel(title.left() + 1, line), drawn.pixel(right, line + 3)) << "and stops at the title";
}

TEST_F(QtBackendTest, list_items_mirror_the_model_and_the_users_selection_goes_back) {
    tabs.show();
    for (const char* item : {"98年12月10日 09時00分　再起動", "毎日実行　　　　21時30分　ｼｬｯﾄﾀﾞｳﾝ"})
        tabs["List1"].addItem(item);
    auto* list = widget<QListView>(tabs, "List1");
    ASSERT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(row(list, 1).data().toString(), QStringLiteral("毎日実行　　　　21時30分　ｼｬｯﾄﾀﾞｳﾝ"));
    EXPECT_EQ(list->font().family(), QStringLiteral("IPAPGothic"));

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row(list, 1)).center());
    EXPECT_EQ(tabs["List1"].listIndex(), 1);
    tabs["List1"].removeItem(1);
    EXPECT_EQ(list->model()->rowCount(), 1);
    EXPECT_TRUE(list->selectionModel()->selectedRows().isEmpty());
}

TEST_F(QtBackendTest, a_long_list_reads_only_the_rows_it_shows_and_its_selection_follows_each_change) {
    LongList schedule(100000);
    tabs.show();
    tabs["List1"].showModel(schedule);
    auto* list = widget<QListView>(tabs, "List1");
    backend.window(tabs)->grab();  // lays out and paints
    EXPECT_EQ(list->model()->rowCount(), 100000);
    EXPECT_GT(schedule.reads, 0);
    EXPECT_LT(schedule.reads, 1000) << "rows are read as they are painted";

    tabs["List1"].setListIndex(500);
    EXPECT_EQ(selectedRow(list), 500);
    EXPECT_EQ(list->currentIndex().row(), 500);
    schedule.reads = 0;
    for (int i = 0; i < 100; ++i) schedule.insert(0, "毎日実行　　　　22時30分　再起動");
    backend.window(tabs)->grab();
    EXPECT_LT(schedule.reads, 1000) << "each change costs its own rows, not the list's";
    EXPECT_EQ(list->model()->rowCount(), 100100);
    EXPECT_EQ(tabs["List1"].listIndex(), 600);
    EXPECT_EQ(selectedRow(list), 600);
    schedule.erase(0);
    EXPECT_EQ(selectedRow(list), 599);
    schedule.erase(599);
    EXPECT_EQ(tabs["List1"].listIndex(), -1);
    EXPECT_EQ(selectedRow(list), -1) << "the selected row went";
    EXPECT_EQ(row(list, 599).data().toString(), QString::fromStdString(std::string(schedule.item(599))));

    schedule.reset(3);
    EXPECT_EQ(list->model()->rowCount(), 3);
    tabs["List1"].setListIndex(2);
    EXPECT_EQ(selectedRow(list), 2);
    tabs.unload();
    schedule.reset(5);  // the unloaded form's list no longer follows
    EXPECT_EQ(list->model()->rowCount(), 3);
}

TEST_F(QtBackendTest, a_right_press_on_the_list_raises_mouse_down_then_its_context_menu_without_moving_the_selection) {
    tabs.show();
    for (const char* item : {"a", "b"}) tabs["List1"].addItem(item);
    tabs["List1"].setListIndex(0);
    tabs.events.clear();
    auto* list = widget<QListView>(tabs, "List1");
    const QPoint second = list->visualRect(row(list, 1)).center();
    // Through the window, as the window system delivers it: Qt makes the context-menu event.
    QWindow* window = list->window()->windowHandle();
    const QPoint inWindow = list->viewport()->mapTo(list->window(), second);
    QTest::mousePress(window, Qt::RightButton, Qt::ShiftModifier, inWindow);
    QTest::mouseRelease(window, Qt::RightButton, Qt::ShiftModifier, inWindow);
    EXPECT_EQ(tabs.events, (std::vector<std::string>{"List1_MouseDown 2 1", "List1_ContextMenu"}));
    EXPECT_EQ(tabs["List1"].listIndex(), 0);
    EXPECT_EQ(list->currentIndex().row(), 0);
}

TEST_F(QtBackendTest, qts_context_menu_event_on_the_list_is_the_lists_with_its_anchor) {
    tabs.show();
    for (const char* item : {"a", "b"}) tabs["List1"].addItem(item);
    tabs["List1"].setListIndex(1);
    tabs.events.clear();
    auto* list = widget<QListView>(tabs, "List1");
    const QPoint first = list->visualRect(row(list, 0)).center();
    QContextMenuEvent mouse(QContextMenuEvent::Mouse, first, list->viewport()->mapToGlobal(first));
    QApplication::sendEvent(list->viewport(), &mouse);
    list->setFocus();
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), list->mapToGlobal(QPoint()));
    QApplication::sendEvent(list, &key);
    EXPECT_EQ(tabs.events, (std::vector<std::string>{"List1_ContextMenu", "List1_ContextMenu key"}));
    ASSERT_EQ(tabs.contextAnchors.size(), 2u);
    const QPoint atMouse = list->viewport()->mapToGlobal(first);
    const QPoint belowRow = list->viewport()->mapToGlobal(list->visualRect(row(list, 1)).bottomLeft());
    EXPECT_EQ(tabs.contextAnchors[0], (ui::ScreenPoint{atMouse.x(), atMouse.y()}));
    EXPECT_EQ(tabs.contextAnchors[1], (ui::ScreenPoint{belowRow.x(), belowRow.y()})) << "at the current row";
    EXPECT_EQ(tabs["List1"].listIndex(), 1) << "nor does the menu move the selection";
}

TEST_F(QtBackendTest, filling_a_combo_box_keeps_its_text_and_typing_goes_to_the_model) {
    tabs.show();
    for (int h = 0; h < 24; ++h)
        tabs["Combo1"].addItem(QStringLiteral("%1時").arg(h, 2, 10, QLatin1Char('0')).toStdString());
    auto* combo = widget<QComboBox>(tabs, "Combo1");
    EXPECT_EQ(combo->count(), 24);
    EXPECT_EQ(combo->currentText(), QStringLiteral("01時"));
    EXPECT_EQ(combo->currentIndex(), -1);
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("23"));
    EXPECT_EQ(tabs["Combo1"].text(), "23");
    tabs["Combo1"].setText("09時");
    EXPECT_EQ(combo->currentText(), QStringLiteral("09時"));
}

// A screen reader drops every event of a deluge (Orca's limit is about a hundred queued), and each
// change of a combo box's text or choice is several: a window that fills its lists as it loads, as
// the time-of-day dialog fills 24 hours and 60 minutes, changes neither per item. (Qt's offscreen
// platform sends no accessibility events; the Linux end-to-end run counts them.)
TEST_F(QtBackendTest, filling_a_combo_box_as_its_window_loads_changes_neither_its_text_nor_its_choice) {
    tabs.load();
    tabs["Combo1"].setText("01時");
    auto* combo = widget<QComboBox>(tabs, "Combo1");
    int changes = 0;
    QObject::connect(combo, &QComboBox::editTextChanged, [&] { ++changes; });
    QObject::connect(combo, &QComboBox::currentIndexChanged, [&] { ++changes; });
    for (int h = 0; h < 24; ++h)
        tabs["Combo1"].addItem(QStringLiteral("%1時").arg(h, 2, 10, QLatin1Char('0')).toStdString());
    tabs.show();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(combo->count(), 24);
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(combo->currentText(), QStringLiteral("01時"));
}

TEST_F(QtBackendTest, the_popup_menu_runs_the_chosen_item_then_reports_closed_and_skips_disabled_items) {
    tabs.show();
    tabs["mnu_Del"].setEnabled(false);
    bool closed = false;
    onNextModal([](QWidget* menu) {
        EXPECT_EQ(static_cast<QMenu*>(menu)->actions().size(), 2);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    tabs.popupMenu(tabs["mnu_PopUp2"], ui::PopupButtons::LeftAndRight, [&] { closed = true; });
    EXPECT_EQ(tabs.events, (std::vector<std::string>{"mnu_AllDel_Click"}));
    EXPECT_TRUE(closed);

    closed = false;
    onNextModal([](QWidget* menu) { QTest::keyClick(menu, Qt::Key_Escape); });
    tabs.popupMenu(tabs["mnu_PopUp2"], ui::PopupButtons::LeftAndRight, [&] { closed = true; });
    EXPECT_TRUE(closed) << "dismissed without a choice";
    EXPECT_EQ(tabs.events.size(), 1u);
}

TEST_F(QtBackendTest, a_screen_readers_press_runs_the_item_and_a_second_request_closes_the_open_menu) {
    tabs.show();
    bool closed = false;
    onNextModal([](QWidget* menu) {
        QTimer::singleShot(2000, menu, [menu] { menu->close(); });  // a menu left open fails, not hangs
        QAccessibleInterface* item = accessible(menu)->child(1);
        ASSERT_EQ(item->text(QAccessible::Name), QStringLiteral("全て削除"));
        item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    });
    tabs.popupMenu(tabs["mnu_PopUp2"], ui::PopupButtons::LeftAndRight, [&] { closed = true; });
    EXPECT_EQ(tabs.events, (std::vector<std::string>{"mnu_AllDel_Click"}));
    EXPECT_TRUE(closed);

    bool secondClosed = false, stillOpen = true;
    onNextModal([&](QWidget* menu) {
        QTimer::singleShot(2000, menu, [menu] { menu->close(); });
        tabs.popupMenu(tabs["mnu_PopUp2"], ui::PopupButtons::LeftAndRight, [&] { secondClosed = true; });
        stillOpen = QApplication::activePopupWidget() != nullptr;
    });
    tabs.popupMenu(tabs["mnu_PopUp2"], ui::PopupButtons::LeftAndRight);
    EXPECT_TRUE(secondClosed);
    EXPECT_FALSE(stillOpen) << "the second request closed the menu instead of opening another";
    EXPECT_EQ(tabs.events.size(), 1u);
}

TEST_F(QtBackendTest, a_window_that_opens_closes_the_menu_left_open) {
    tabs.show();
    bool closed = false, stillOpen = false;
    onNextModal([&](QWidget* menu) {
        probe.show();  // as the warning opens at its due second
        stillOpen = menu->isVisible();
        if (stillOpen) menu->close();
    });
    tabs.popupMenu(tabs["mnu_PopUp2"], ui::PopupButtons::LeftAndRight, [&] { closed = true; });
    EXPECT_FALSE(stillOpen);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(tabs.events.empty()) << "no item chosen";
    EXPECT_TRUE(backend.window(probe)->isVisible());
}

TEST_F(QtBackendTest, where_the_compositor_places_windows_one_kept_off_screen_is_never_mapped) {
    QtBackend wayland(WindowPlacement::Compositor);
    ui::Runtime waylandRuntime(wayland);
    wayland.attach(waylandRuntime);
    Probe offScreen(waylandRuntime, probeDefinition), onScreen(waylandRuntime, tabsDefinition);
    offScreen.load();
    offScreen.move(-50000, -50000);  // where the tray window lives
    offScreen.show();
    EXPECT_TRUE(offScreen.isVisible()) << "shown, as far as the program knows";
    EXPECT_FALSE(wayland.window(offScreen)->isVisible());
    onScreen.show();
    EXPECT_TRUE(wayland.window(onScreen)->isVisible());

    probe.load();
    probe.move(-50000, -50000);
    probe.show();
    EXPECT_TRUE(backend.window(probe)->isVisible()) << "where the program places windows, off the screen";
}

// On Wayland a menu has no grab: a click elsewhere only takes the focus from it.
TEST_F(QtBackendTest, where_the_compositor_places_windows_a_menu_that_loses_the_focus_closes) {
    QtBackend wayland(WindowPlacement::Compositor);
    ui::Runtime waylandRuntime(wayland);
    wayland.attach(waylandRuntime);
    Probe settings(waylandRuntime, tabsDefinition);
    settings.show();
    bool closedByItself = false;
    onNextModal([&](QWidget* menu) {
        menu->windowHandle()->requestActivate();
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::focusWindow(), menu->windowHandle(), 2000);
        wayland.window(settings)->windowHandle()->requestActivate();  // the click elsewhere
        QTest::qWait(200);
        closedByItself = !menu->isVisible();
        menu->close();
    });
    bool closed = false;
    settings.popupMenu(settings["mnu_PopUp2"], ui::PopupButtons::LeftAndRight, [&] { closed = true; });
    EXPECT_TRUE(closedByItself);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(settings.events.empty()) << "no item chosen";
}

TEST_F(QtBackendTest, the_right_button_picks_an_item_only_of_a_menu_that_takes_both_buttons) {
    tabs.show();
    for (ui::PopupButtons buttons : {ui::PopupButtons::Left, ui::PopupButtons::LeftAndRight}) {
        const bool both = buttons == ui::PopupButtons::LeftAndRight;
        tabs.events.clear();
        onNextModal([both](QWidget* widget) {
            auto* menu = static_cast<QMenu*>(widget);
            const QPoint allDel = menu->actionGeometry(menu->actions()[1]).center();
            QTest::mouseClick(menu, Qt::RightButton, {}, allDel);
            if (!both) {
                EXPECT_TRUE(menu->isVisible()) << "the menu stays open";
                QTest::mouseClick(menu, Qt::LeftButton, {}, allDel);
            }
        });
        tabs.popupMenu(tabs["mnu_PopUp2"], buttons);
        EXPECT_EQ(tabs.events, (std::vector<std::string>{"mnu_AllDel_Click"})) << both;
    }
}

TEST_F(QtBackendTest, menu_separators_and_captions_come_from_the_definition) {
    probe.load();
    auto* menu = widget<QMenu>(probe, "mnuPopup");
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("最初(&F)"));
    EXPECT_TRUE(menu->actions()[1]->isSeparator());
}

TEST_F(QtBackendTest, a_message_box_has_its_title_text_and_only_ok_and_timers_tick_while_it_is_open) {
    probe.load();
    probe.events.clear();
    bool closed = false;
    onNextModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("QuietusMachine"));
        EXPECT_EQ(box->text(), QStringLiteral("既に起動されています"));
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(accessible(box)->role(), QAccessible::AlertMessage)
            << "a screen reader speaks it as it opens";
        QTimer::singleShot(350, box, [box] { box->button(QMessageBox::Ok)->click(); });
    });
    runtime.messageBox("既に起動されています", "QuietusMachine", ui::MessageBoxButtons::Ok,
                       [&] { closed = true; });
    EXPECT_TRUE(closed);
    EXPECT_GE(probe.events.size(), 2u) << "the form's timer ticked under the box";
}

TEST_F(QtBackendTest, once_the_program_ends_no_handler_runs_and_the_loop_is_not_entered) {
    probe.show();
    runtime.end(3);
    EXPECT_TRUE(backend.quitRequested());
    widget<QPushButton>(probe, "Command1")->click();
    EXPECT_TRUE(probe.events.empty());
    EXPECT_EQ(backend.exec(), 3);
}

TEST_F(QtBackendTest, centring_uses_the_windows_outer_size_and_the_screen_in_twips) {
    const ui::Size screen = backend.screenSize();
    const QSize pixels = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(screen.width, pixelsToTwips(pixels.width(), 96));
    probe.load();
    EXPECT_EQ(backend.outerSize(probe).width, 3195);
    probe.move(1500, -50000);
    EXPECT_EQ(backend.window(probe)->pos(), QPoint(100, -3333));
}

}  // namespace
}  // namespace qm::qt
