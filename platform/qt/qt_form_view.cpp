// Building a form's Qt window from its definition, and turning the user's actions on it into the
// Runtime's events. Only the user's own actions count: changes the model makes are not echoed back.
#include "platform/qt/qt_form_view.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "platform/linux/real_time_alarm.h"
#include "platform/qt/qt_calendar.h"
#include "platform/qt/qt_frame.h"
#include "platform/qt/qt_icons.h"
#include "platform/qt/qt_line.h"
#include "platform/qt/qt_link.h"
#include "platform/qt/qt_list_model.h"
#include "platform/qt/qt_title_bar.h"
#include "platform/qt/qt_units.h"

namespace qm::qt {

using ui::Kind;

void FormWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (onCloseRequest) onCloseRequest();
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    if (!onKey || !onKey(*event)) QWidget::keyPressEvent(event);
}

// Tab and Shift+Tab go where the form's tab order says (a group of options entered on its checked
// one, as on Windows, where Qt would enter on the one that last had the focus); Qt's own chain
// only where the form names no control.
bool FormWindow::focusNextPrevChild(bool next) {
    if (onTab && onTab(next)) return true;
    return QWidget::focusNextPrevChild(next);
}

void FormWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (frameLine_) TitleBar::paintFrameLine(*this);
}

QObject* ControlView::object() const {
    if (action) return action;
    if (timer) return timer;
    return widget;
}

namespace {

Qt::WindowFlags windowFlags(const ui::FormDef& def, bool ownTitleBar) {
    Qt::WindowFlags flags = def.showInTaskbar ? Qt::Window : Qt::Tool;
    // The tray's hidden window has nothing to type into: the window manager gives the focus back
    // elsewhere when a window closes, and a screen reader does not announce it. Nor does an X11
    // window manager place it: one that keeps every window partly on screen would leave a patch of
    // it in a corner all session, and list it among the windows.
    if (def.role == ui::Role::Window) flags |= Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint;
    // A window with its own title bar asks for no frame, which any title or button hint would
    // bring back.
    if (def.border == ui::Border::None || ownTitleBar) return flags | Qt::FramelessWindowHint;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (def.controlBox) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (def.minButton) flags |= Qt::WindowMinimizeButtonHint;
    if (def.maxButton) flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

// The mouse button and shift state as the form model numbers them.
int buttonNumber(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return ui::kLeftButton;
        case Qt::RightButton:
            return ui::kRightButton;
        case Qt::MiddleButton:
            return ui::kMiddleButton;
        default:
            return 0;
    }
}

// A list's row is as high as its font's em, as a Windows list box's is the line of a Windows face,
// which keeps no room above its characters: the taller line of the faces that stand in would cut
// the last row of a list sized for whole rows (three of the timer's hours and minutes).
class EmRows final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(QFontInfo(option.font).pixelSize());
        return size;
    }
};

int shiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

}  // namespace

FormView::FormView(ui::Form& form, ui::Runtime& runtime, double dpi, bool ownTitleBar)
    : form_(form), runtime_(runtime), dpi_(dpi), window_(new FormWindow(form.def().role)), client_(window_) {
    const ui::FormDef& def = form.def();
    ownTitleBar = ownTitleBar && def.border != ui::Border::None;
    window_->setWindowFlags(windowFlags(def, ownTitleBar));
    const QSize client(twipsToPixels(def.clientWidth, dpi), twipsToPixels(def.clientHeight, dpi));
    if (ownTitleBar) {
        titleBar_ = new TitleBar(*window_, dpi);
        titleBar_->setClosable(def.controlBox);
        const QMargins frame = titleBar_->frameMargins();
        client_ = new QWidget(window_);
        client_->setGeometry(QRect(QPoint(frame.left(), frame.top()), client));
        window_->setFrameLine(true);
        window_->setFixedSize(client.grownBy(frame));
    } else {
        window_->setFixedSize(client);
    }
    window_->onCloseRequest = [this] { fromUser([this] { runtime_.closeRequested(form_); }); };
    window_->onKey = [this](const QKeyEvent& key) { return keyPressed(key); };
    window_->onTab = [this](bool forward) { return tabPressed(forward); };
    applyForm(ui::FormProp::Caption);
    applyForm(ui::FormProp::Icon);
    applyForm(ui::FormProp::Position);
    form.native = this;

    ++mirroring_;
    for (const auto& control : form.controls()) build(*control);
    for (const auto& control : form.controls()) applyAll(*control);
    --mirroring_;
    setTabOrder();
}

FormView::~FormView() {
    delete window_;
}

ui::Control* FormView::byName(const std::string& name) const {
    for (const auto& c : form_.controls()) {
        if (c->name() == name) return c.get();
    }
    return nullptr;
}

QWidget* FormView::containerOf(const ui::Control& control) {
    ui::Control* parent = byName(control.props().parent);
    if (!parent) return client_;
    ControlView& view = build(*parent);
    return view.widget ? view.widget : client_;
}

ControlView& FormView::build(ui::Control& control) {
    if (ControlView* existing = find(control)) return *existing;
    views_.push_back(std::make_unique<ControlView>());
    ControlView& view = *views_.back();
    view.control = &control;
    control.native = &view;
    createObject(view);
    connectEvents(view);
    return view;
}

void FormView::createObject(ControlView& view) {
    ui::Control& control = *view.control;
    QWidget* parent =
        control.kind() == Kind::Timer || control.kind() == Kind::MenuItem ? window_ : containerOf(control);
    switch (control.kind()) {
        case Kind::Label:
        case Kind::Image: {
            QLabel* label = nullptr;
            if (control.props().link) {
                auto* link = new LinkLabel(parent);
                link->followed = [this, c = &control] { fromUser([&] { runtime_.click(*c); }); };
                label = link;
            } else {
                label = new QLabel(parent);
            }
            label->setTextFormat(Qt::PlainText);
            view.widget = label;
            break;
        }
        case Kind::Button: {
            auto* button = new QPushButton(parent);
            // Drawn as the default; the window itself sends Enter to it (see keyPressed).
            button->setDefault(control.props().isDefault);
            view.widget = button;
            break;
        }
        case Kind::Option:
            view.widget = new QRadioButton(parent);
            break;
        case Kind::Frame:
            view.widget = new FrameBox(parent);
            break;
        case Kind::ListBox: {
            // Every row is one line of the same font: the view lays out a million rows without
            // measuring them, and asks for the text of those it paints.
            auto* list = new QListView(parent);
            view.items = new ListModelAdapter(control, this);
            list->setModel(view.items);
            list->setUniformItemSizes(true);
            list->setItemDelegate(new EmRows(list));
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setEditTriggers(QAbstractItemView::NoEditTriggers);
            view.widget = list;
            break;
        }
        case Kind::ComboBox: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            view.items = new ListModelAdapter(control, this);
            combo->setModel(view.items);
            view.widget = combo;
            break;
        }
        case Kind::Timer:
            view.timer = new QTimer(this);
            view.timer->setTimerType(Qt::PreciseTimer);
            // Not through fromUser: an alarm rings once, and a ring passed over would leave the
            // timer asleep for good.
            view.alarm = new RealTimeAlarm(
                [this, control = &control] {
                    if (live_ && !runtime_.ended()) runtime_.timerTick(*control);
                },
                this);
            break;
        case Kind::Line:
            view.widget = new LineWidget(parent);
            break;
        case Kind::Menu:
            view.widget = view.menu = new QMenu(window_);
            break;
        case Kind::MenuItem: {
            ControlView* menu = nullptr;
            if (ui::Control* parentMenu = byName(control.props().parent)) menu = &build(*parentMenu);
            QMenu* qmenu = menu && menu->menu ? menu->menu : nullptr;
            view.action = new QAction(qmenu ? static_cast<QObject*>(qmenu) : this);
            if (qmenu) qmenu->addAction(view.action);
            break;
        }
        case Kind::Calendar:
            view.widget = makeCalendar(parent);
            break;
        case Kind::TabStrip: {
            auto* tabs = new QTabWidget(parent);
            for (const std::string& caption : control.props().tabs) tabs->addTab(new QWidget, qs(caption));
            // The arrows of a tab strip too narrow for its tabs, which Qt names in English.
            for (auto [name, spoken] :
                 {std::pair{"ScrollLeftButton", "前のタブ"}, std::pair{"ScrollRightButton", "次のタブ"}}) {
                if (auto* arrow = tabs->tabBar()->findChild<QToolButton*>(QLatin1String(name)))
                    arrow->setAccessibleName(QString::fromUtf8(spoken));
            }
            view.widget = tabs;
            break;
        }
    }
}

void FormView::fromUser(const std::function<void()>& action) {
    if (live_ && mirroring_ == 0 && !runtime_.ended()) action();
}

void FormView::connectEvents(ControlView& view) {
    ui::Control* control = view.control;
    switch (control->kind()) {
        case Kind::Label:
            view.widget->installEventFilter(this);
            filtered_[view.widget] = &view;
            break;
        case Kind::Button:
        case Kind::Option:
            connect(static_cast<QAbstractButton*>(view.widget), &QAbstractButton::clicked, this,
                    [this, control] { fromUser([&] { runtime_.click(*control); }); });
            break;
        case Kind::ListBox: {
            auto* list = static_cast<QListView*>(view.widget);
            list->viewport()->installEventFilter(this);
            filtered_[list->viewport()] = &view;
            QItemSelectionModel* selection = list->selectionModel();
            connect(selection, &QItemSelectionModel::selectionChanged, this, [this, control, selection] {
                fromUser([&] {
                    const auto rows = selection->selectedRows();
                    control->syncListIndex(rows.isEmpty() ? -1 : rows.front().row());
                });
            });
            break;
        }
        case Kind::ComboBox: {
            auto* combo = static_cast<QComboBox*>(view.widget);
            connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, control](const QString& text) {
                fromUser([&] { control->syncText(text.toStdString()); });
            });
            connect(combo, &QComboBox::activated, this, [this, control, combo](int index) {
                fromUser([&] { control->syncText(combo->itemText(index).toStdString()); });
            });
            break;
        }
        case Kind::Timer:
            connect(view.timer, &QTimer::timeout, this,
                    [this, control] { fromUser([&] { runtime_.timerTick(*control); }); });
            break;
        case Kind::Calendar:
            // Enter on the day chosen with the arrow keys does what a click on it does.
            if (auto* grid = view.widget->findChild<QTableView*>()) {
                grid->installEventFilter(this);
                filtered_[grid] = &view;
            }
            connect(static_cast<QCalendarWidget*>(view.widget), &QCalendarWidget::clicked, this,
                    [this, control](QDate date) { dayPicked(*control, date); });
            break;
        case Kind::TabStrip:
            connect(static_cast<QTabWidget*>(view.widget), &QTabWidget::currentChanged, this,
                    [this, control](int index) {
                        fromUser([&] {
                            control->syncCurrentTab(index);
                            applyTabVisibility(*control);
                        });
                    });
            break;
        default:
            break;
    }
}

void FormView::dayPicked(ui::Control& calendar, QDate date) {
    fromUser([&] {
        calendar.syncDate(std::chrono::year_month_day{std::chrono::year{date.year()},
                                                      std::chrono::month{static_cast<unsigned>(date.month())},
                                                      std::chrono::day{static_cast<unsigned>(date.day())}});
        runtime_.click(calendar);
    });
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
    auto it = filtered_.find(watched);
    if (it == filtered_.end() || !live_) return false;
    ui::Control& control = *it->second->control;
    switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (control.kind() != Kind::Calendar || (key != Qt::Key_Return && key != Qt::Key_Enter))
                return false;
            dayPicked(control, static_cast<QCalendarWidget*>(it->second->widget)->selectedDate());
            return true;
        }
        case QEvent::Enter:
            // A label with a click handler is a link.
            if (control.kind() == Kind::Label) {
                auto* widget = static_cast<QWidget*>(watched);
                if (control.onClick) {
                    widget->setCursor(Qt::PointingHandCursor);
                } else {
                    widget->unsetCursor();
                }
            }
            return false;
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (control.kind() == Kind::Label && mouse->button() == Qt::LeftButton &&
                static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint())) {
                fromUser([&] { runtime_.click(control); });
            }
            return false;
        }
        case QEvent::MouseButtonPress: {
            if (control.kind() != Kind::ListBox) return false;
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at =
                static_cast<QWidget*>(watched)->mapTo(it->second->widget, mouse->position().toPoint());
            const double x = pixelsToTwips(at.x(), dpi_);
            const double y = pixelsToTwips(at.y(), dpi_);
            fromUser([&] {
                runtime_.mouseDown(control, buttonNumber(mouse->button()), shiftState(mouse->modifiers()), x,
                                   y);
            });
            // A right press neither selects nor moves the selection, as on Windows: the popup
            // menu's "delete" acts on the item chosen before.
            return mouse->button() == Qt::RightButton;
        }
        default:
            return false;
    }
}

void FormView::setTabOrder() {
    std::vector<ControlView*> order;
    for (const auto& view : views_) {
        if (view->widget && !view->menu && view->control->props().tabIndex >= 0) order.push_back(view.get());
    }
    std::stable_sort(order.begin(), order.end(), [](const ControlView* a, const ControlView* b) {
        return a->control->props().tabIndex < b->control->props().tabIndex;
    });
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1]->widget, order[i]->widget);
}

void FormView::focusFirst() {
    if (window_->focusWidget()) return;
    ControlView* view = nullptr;
    if (ui::Control* first = form_.firstFocus()) view = find(*first);
    if (view && view->widget) {
        view->widget->setFocus(Qt::TabFocusReason);
    } else {
        window_->setFocus(Qt::ActiveWindowFocusReason);  // nothing to type into: the window takes the keys
    }
}

void FormView::disableClose() {
    const bool wasVisible = window_->isVisible();
    if (titleBar_) titleBar_->setClosable(false);
    else window_->setWindowFlag(Qt::WindowCloseButtonHint, false);
    if (wasVisible) window_->show();
}

void FormView::retire() {
    live_ = false;
    for (const auto& view : views_) {
        if (view->timer) view->timer->stop();
        if (view->alarm) view->alarm->cancel();
        if (view->items) view->items->forget();
    }
    window_->hide();
    form_.native = nullptr;
    deleteLater();
}

}  // namespace qm::qt
