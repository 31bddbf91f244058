// Mirroring the model's properties onto a form's Qt window and controls.
#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include "platform/linux/real_time_alarm.h"
#include "platform/qt/qt_form_view.h"
#include "platform/qt/qt_icons.h"
#include "platform/qt/qt_line.h"
#include "platform/qt/qt_list_model.h"
#include "platform/qt/qt_units.h"

namespace qm::qt {

using ui::Kind;
using ui::Prop;

namespace {

Qt::Alignment alignment(ui::Align align) {
    switch (align) {
        case ui::Align::Centre:
            return Qt::AlignHCenter | Qt::AlignTop;
        case ui::Align::Right:
            return Qt::AlignRight | Qt::AlignTop;
        case ui::Align::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

void setCaption(ControlView& view) {
    const ui::Control& control = *view.control;
    const QString text = qs(control.caption());
    switch (control.kind()) {
        case Kind::Label:
            static_cast<QLabel*>(view.widget)->setText(text);
            break;
        case Kind::Button:
        case Kind::Option:
            static_cast<QAbstractButton*>(view.widget)->setText(text);
            break;
        case Kind::Frame:
            static_cast<QGroupBox*>(view.widget)->setTitle(text);
            break;
        case Kind::ComboBox:
            // With a placeholder, a combo box does not choose its first item as items arrive.
            static_cast<QComboBox*>(view.widget)->setPlaceholderText(text);
            static_cast<QComboBox*>(view.widget)->setEditText(text);
            break;
        case Kind::Menu:
            view.menu->setTitle(text);
            break;
        case Kind::MenuItem:
            // "-" makes the item a separator, with no text of its own.
            view.action->setSeparator(control.caption() == "-");
            view.action->setText(view.action->isSeparator() ? QString() : text);
            break;
        default:
            break;
    }
}

void setColours(ControlView& view) {
    const ui::ControlDef& p = view.control->props();
    if (!view.widget || (!p.foreColour && !p.backColour)) return;
    QPalette palette = view.widget->palette();
    if (p.foreColour) {
        const QColor fore = toQColor(*p.foreColour);
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
            palette.setColor(role, fore);
        }
        if (auto* line = dynamic_cast<LineWidget*>(view.widget)) line->setColour(fore);
    }
    if (p.backColour) {
        palette.setColor(QPalette::Window, toQColor(*p.backColour));
        view.widget->setAutoFillBackground(true);
    }
    view.widget->setPalette(palette);
}

QDate toQDate(std::chrono::year_month_day date) {
    return QDate(static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
                 static_cast<int>(static_cast<unsigned>(date.day())));
}

// A line wider than its label (the substitute face runs wider than the Windows one) spills over
// the label's sides as its alignment lets it, as far as its container allows, rather than be cut.
QRect widenedToText(QRect rect, int textWidth, ui::Align align, const QWidget* container) {
    const int over = textWidth - rect.width();
    if (over <= 0 || !container) return rect;
    switch (align) {
        case ui::Align::Left:
            rect.adjust(0, 0, over, 0);
            break;
        case ui::Align::Centre:
            rect.adjust(-over / 2, 0, over - over / 2, 0);
            break;
        case ui::Align::Right:
            rect.adjust(-over, 0, 0, 0);
            break;
    }
    rect.setLeft(std::max(rect.left(), 0));
    rect.setRight(std::min(rect.right(), container->width() - 1));
    return rect;
}

}  // namespace

void FormView::applyGeometry(ControlView& view) {
    const ui::ControlDef& p = view.control->props();
    if (!view.widget || view.menu) return;
    if (auto* line = dynamic_cast<LineWidget*>(view.widget)) {
        line->setLine(QPoint(twipsToPixels(p.rect.left, dpi_), twipsToPixels(p.rect.top, dpi_)),
                      QPoint(twipsToPixels(p.rect.left + p.rect.width, dpi_),
                             twipsToPixels(p.rect.top + p.rect.height, dpi_)));
        return;
    }
    QRect rect = pixelRect(p.rect, dpi_);
    if (p.kind == Kind::Label) {
        // The Noto CJK faces have a taller line than the Windows faces they stand for: the text is
        // raised so that its baseline sits where the Windows face puts it (the big counter would
        // otherwise run into the buttons below it), and a label never cuts its line in half.
        auto* label = static_cast<QLabel*>(view.widget);
        const int raise = baselineRaise(label->font(), dpi_);
        if (p.autoSize) {
            rect.setSize(label->sizeHint());
        } else {
            rect.setHeight(std::max(rect.height() + raise, label->fontMetrics().height()));
            rect = widenedToText(rect, label->sizeHint().width(), p.align, view.widget->parentWidget());
        }
        rect.translate(0, -raise);
    }
    if (p.kind == Kind::Option && view.widget->parentWidget()) {
        // The substitute face runs wider than the Windows one: an option button's caption may use
        // the free width of its frame rather than be cut.
        const int room = view.widget->parentWidget()->width() - rect.left() - 2;
        rect.setWidth(std::max(rect.width(), std::min(view.widget->sizeHint().width(), room)));
    }
    view.widget->setGeometry(rect);
}

// A widget's own visibility: hidden itself, or on a tab not shown. A hidden container hides its
// children through Qt's widget tree, so they keep their own flag for when it shows again.
bool FormView::effectiveVisible(const ui::Control& control) const {
    if (!control.visible()) return false;
    const ui::Control* parent = nullptr;
    for (const auto& c : form_.controls()) {
        if (c->name() == control.props().parent) parent = c.get();
    }
    return !parent || parent->kind() != Kind::TabStrip || control.props().tab == parent->currentTab();
}

void FormView::applyTabVisibility(ui::Control& tabStrip) {
    for (ui::Control* child : form_.childrenOf(tabStrip.name())) {
        ControlView* view = find(*child);
        if (view && view->widget) view->widget->setVisible(effectiveVisible(*child));
    }
}

void FormView::applyList(ui::Control& control, const ui::ListChange& change) {
    ControlView* view = find(control);
    if (!view || !view->items || !live_) return;
    ++mirroring_;
    view->items->follow(change);
    if (auto* combo = qobject_cast<QComboBox*>(view->widget)) {
        // The program's combo boxes select nothing and keep the text of their edit field. Only
        // a real change is made: each is a handful of events to a screen reader, and a list
        // filled item by item would flood it.
        if (combo->currentIndex() != -1) combo->setCurrentIndex(-1);
        if (const QString text = qs(control.caption()); combo->currentText() != text) combo->setEditText(text);
    } else {
        // Qt's selection has followed its row as the model's has; after a reset both are empty.
        showListIndex(*view);
    }
    --mirroring_;
}

void FormView::showListIndex(ControlView& view) {
    auto* list = qobject_cast<QListView*>(view.widget);
    if (!list) return;
    QItemSelectionModel* selection = list->selectionModel();
    const int index = view.control->listIndex();
    const QModelIndexList rows = selection->selectedRows();
    if ((rows.isEmpty() ? -1 : rows.front().row()) == index) return;
    if (index < 0) {
        selection->clear();
    } else {
        list->setCurrentIndex(list->model()->index(index, 0));
    }
}

void FormView::apply(ui::Control& control, Prop prop) {
    ControlView* view = find(control);
    if (!view || !live_) return;
    ++mirroring_;
    const ui::ControlDef& p = control.props();
    switch (prop) {
        case Prop::Caption:
            setCaption(*view);
            if (p.kind == Kind::Label) applyGeometry(*view);
            break;
        case Prop::Rect:
            applyGeometry(*view);
            break;
        case Prop::Font:
            if (p.font && view->widget) view->widget->setFont(toQFont(*p.font));
            applyGeometry(*view);
            break;
        case Prop::ForeColour:
            setColours(*view);
            break;
        case Prop::Tooltip:
            if (view->widget) view->widget->setToolTip(qs(p.tooltip));
            if (view->action) view->action->setToolTip(qs(p.tooltip));
            break;
        case Prop::Enabled:
            if (view->action) view->action->setEnabled(p.enabled);
            if (view->widget && !view->menu) view->widget->setEnabled(p.enabled);
            break;
        case Prop::Visible:
            if (view->action) view->action->setVisible(p.visible);
            if (view->widget && !view->menu) view->widget->setVisible(effectiveVisible(control));
            break;
        case Prop::Value:
            if (auto* radio = qobject_cast<QRadioButton*>(view->widget)) {
                // An exclusive radio button refuses to be unchecked; the model decides here.
                radio->setAutoExclusive(false);
                radio->setChecked(p.value);
                radio->setAutoExclusive(true);
            }
            break;
        case Prop::ListIndex:
            showListIndex(*view);
            break;
        case Prop::Interval:
            updateTimer(control);
            break;
        case Prop::Date:
            if (auto* calendar = qobject_cast<QCalendarWidget*>(view->widget);
                calendar && control.date().ok()) {
                calendar->setSelectedDate(toQDate(control.date()));
            }
            break;
        case Prop::CurrentTab:
            if (auto* tabs = qobject_cast<QTabWidget*>(view->widget))
                tabs->setCurrentIndex(control.currentTab());
            applyTabVisibility(control);
            break;
        case Prop::Icon:
            if (auto* label = qobject_cast<QLabel*>(view->widget); label && p.kind == Kind::Image) {
                label->setPixmap(iconPixmap(p.icon, std::min(view->widget->width(), view->widget->height())));
                // A picture says nothing to a screen reader: the lamp that is lit is named.
                label->setAccessibleName(qs(std::string(ui::iconName(p.icon))));
            }
            break;
    }
    --mirroring_;
}

void FormView::applyAll(ui::Control& control) {
    ControlView* view = find(control);
    if (!view) return;
    if (view->widget && !view->menu)
        view->widget->setFont(control.props().font ? toQFont(*control.props().font) : window_->font());
    if (auto* label = qobject_cast<QLabel*>(view->widget))
        label->setAlignment(alignment(control.props().align));
    // A list has no caption to be read by: the form model says what it is called.
    if (const ui::ControlDef& p = control.props();
        view->widget && (!p.labelledBy.empty() || !p.accessibleName.empty()))
        view->widget->setAccessibleName(qs(form_.accessibleName(control)));
    for (Prop prop : {Prop::Caption, Prop::Rect, Prop::ForeColour, Prop::Tooltip, Prop::Enabled, Prop::Value,
                      Prop::ListIndex, Prop::Date, Prop::CurrentTab, Prop::Icon, Prop::Visible}) {
        apply(control, prop);
    }
}

void FormView::updateTimer(ui::Control& control) {
    ControlView* view = find(control);
    if (!view || !view->timer) return;
    const bool run = live_ && form_.isLoaded() && control.enabled();
    if (run && control.deadline()) {
        view->timer->stop();
        view->alarm->set(*control.deadline());
    } else if (run && control.interval() > 0) {
        view->alarm->cancel();
        view->timer->start(control.interval());
    } else {
        view->alarm->cancel();
        view->timer->stop();
    }
}

void FormView::applyForm(ui::FormProp prop) {
    switch (prop) {
        case ui::FormProp::Caption:
            window_->setWindowTitle(qs(form_.caption()));
            break;
        case ui::FormProp::Icon:
            window_->setWindowIcon(programIcon(form_.icon()));
            break;
        case ui::FormProp::Position:
            window_->move(twipsToPixels(form_.left(), dpi_), twipsToPixels(form_.top(), dpi_));
            break;
    }
}

}  // namespace qm::qt
