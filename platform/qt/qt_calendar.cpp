// Building the month calendar. Qt's navigation bar puts the month before the year whatever the
// locale, and draws its arrows as large icons; its parts are found by the object names Qt gives
// them for style sheets. Its day grid is read to a screen reader as a list of days.
#include "platform/qt/qt_calendar.h"

#include <QAccessibleWidget>
#include <QBoxLayout>
#include <QCalendarWidget>
#include <QHash>
#include <QHeaderView>
#include <QPointer>
#include <QSpinBox>
#include <QTableView>
#include <QTextCharFormat>
#include <QToolButton>

namespace qm::qt {

namespace {

template <class T>
T* part(QCalendarWidget* calendar, const char* name) {
    return calendar->findChild<T*>(QString::fromLatin1(name));
}

void colourDay(QCalendarWidget* calendar, Qt::DayOfWeek day, QColor colour) {
    QTextCharFormat format = calendar->weekdayTextFormat(day);
    format.setForeground(colour);
    calendar->setWeekdayTextFormat(day, format);
}

// One cell of the day grid: a day (its name the number Qt shows), a weekday in the first row, or
// the place of one of the view's hidden headers (row or column -1).
class DayAccessible final : public QAccessibleInterface {
public:
    DayAccessible(QTableView* grid, int row, int column) : grid_(grid), row_(row), column_(column) {}

    bool isValid() const override { return grid_ && row_ < grid_->model()->rowCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        QAccessibleInterface* list = parent();
        return list ? list->window() : nullptr;
    }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(grid_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? index().data(Qt::DisplayRole).toString() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const QRect cell = grid_->visualRect(index());
        return cell.translated(grid_->viewport()->mapToGlobal(QPoint(0, 0)));
    }
    QAccessible::Role role() const override {
        if (column_ < 0) return QAccessible::RowHeader;
        return row_ <= 0 ? QAccessible::ColumnHeader : QAccessible::ListItem;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.invisible = row_ < 0 || column_ < 0;
        if (row_ <= 0 || column_ < 0) return s;
        const QModelIndex here = index();
        s.selectable = s.focusable = true;
        s.selected = grid_->selectionModel()->isSelected(here);
        s.focused = grid_->hasFocus() && grid_->currentIndex() == here;
        s.disabled = !(here.flags() & Qt::ItemIsEnabled);
        return s;
    }

private:
    QModelIndex index() const { return grid_->model()->index(row_, column_); }

    QPointer<QTableView> grid_;
    int row_;
    int column_;
};

// Qt reads the grid as a table, and Orca reads a table's whole row (here a week) whenever the focus
// enters a new row. As a list, each move reads the day it lands on. The children are numbered as
// Qt numbers the cells in the focus and selection events it sends for the grid: row by row, with
// the places of the view's hidden headers first in each (the top row is the column headers'), so
// that those events name the day.
class DayGridAccessible final : public QAccessibleWidget {
public:
    explicit DayGridAccessible(QTableView* grid) : QAccessibleWidget(grid, QAccessible::List) {}
    ~DayGridAccessible() override {
        for (QAccessible::Id id : std::as_const(days_)) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return (model()->rowCount() + 1) * (columns() + 1); }
    QAccessibleInterface* child(int i) const override {
        if (i < 0 || i >= childCount()) return nullptr;
        if (auto known = days_.constFind(i); known != days_.cend()) return QAccessible::accessibleInterface(*known);
        auto* day = new DayAccessible(grid(), i / (columns() + 1) - 1, i % (columns() + 1) - 1);
        days_.insert(i, QAccessible::registerAccessibleInterface(day));
        return day;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto it = days_.cbegin(); it != days_.cend(); ++it)
            if (QAccessible::accessibleInterface(it.value()) == child) return it.key();
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QModelIndex at = grid()->indexAt(grid()->viewport()->mapFromGlobal(QPoint(x, y)));
        return at.isValid() ? child(number(at)) : nullptr;
    }
    // The day with the keyboard is the one object that has the focus, not the list around it.
    QAccessibleInterface* focusChild() const override {
        const QModelIndex current = grid()->currentIndex();
        if (!grid()->hasFocus() || !current.isValid()) return nullptr;
        return child(number(current));
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.focused = false;
        return s;
    }

private:
    QTableView* grid() const { return static_cast<QTableView*>(widget()); }
    const QAbstractItemModel* model() const { return grid()->model(); }
    int columns() const { return model()->columnCount(); }
    int number(const QModelIndex& cell) const { return (cell.row() + 1) * (columns() + 1) + cell.column() + 1; }

    mutable QHash<int, QAccessible::Id> days_;
};

// The calendar's one table view (asked for as Qt fills it, before it has its object name).
QAccessibleInterface* dayGridFactory(const QString&, QObject* object) {
    auto* grid = qobject_cast<QTableView*>(object);
    if (grid && qobject_cast<QCalendarWidget*>(grid->parent()))
        return new DayGridAccessible(grid);
    return nullptr;
}

}  // namespace

QCalendarWidget* makeCalendar(QWidget* parent) {
    // Before the grid is made: Qt keeps the first interface asked for.
    static const bool readAsList = (QAccessible::installFactory(dayGridFactory), true);
    (void)readAsList;
    auto* calendar = new QCalendarWidget(parent);
    // The year button shows the year field's text: "2026年". Set before the locale, whose change
    // writes the heading anew.
    if (auto* yearField = part<QSpinBox>(calendar, "qt_calendar_yearedit"))
        yearField->setSuffix(QStringLiteral("年"));
    calendar->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    calendar->setFirstDayOfWeek(Qt::Sunday);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    colourDay(calendar, Qt::Saturday, Qt::blue);
    colourDay(calendar, Qt::Sunday, Qt::red);

    // The year before the month.
    auto* bar = part<QWidget>(calendar, "qt_calendar_navigationbar");
    auto* month = part<QToolButton>(calendar, "qt_calendar_monthbutton");
    auto* year = part<QToolButton>(calendar, "qt_calendar_yearbutton");
    if (auto* row = bar ? qobject_cast<QBoxLayout*>(bar->layout()) : nullptr; row && month && year) {
        row->removeWidget(year);
        row->insertWidget(row->indexOf(month), year);
    }
    // Qt names the arrows in English for a screen reader, whatever the locale.
    struct Arrow {
        const char* name;
        Qt::ArrowType arrow;
        QString spoken;
    };
    for (const Arrow& a : {Arrow{"qt_calendar_prevmonth", Qt::LeftArrow, QStringLiteral("前の月")},
                           Arrow{"qt_calendar_nextmonth", Qt::RightArrow, QStringLiteral("次の月")}}) {
        if (auto* button = part<QToolButton>(calendar, a.name)) {
            button->setIcon(QIcon());
            button->setArrowType(a.arrow);
            button->setAccessibleName(a.spoken);
        }
    }

    // The grid shares out the width the definition gives; Qt's own minimum column width would
    // push Saturday off the edge.
    if (auto* grid = calendar->findChild<QTableView*>()) {
        grid->horizontalHeader()->setMinimumSectionSize(1);
        grid->verticalHeader()->setMinimumSectionSize(1);
    }
    return calendar;
}

}  // namespace qm::qt
