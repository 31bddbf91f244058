// Building the month calendar. Qt's navigation bar puts the month before the year whatever the
// locale, and draws its arrows as large icons; its parts are found by the object names Qt gives
// them for style sheets.
#include "platform/qt/qt_calendar.h"

#include <QBoxLayout>
#include <QCalendarWidget>
#include <QHeaderView>
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

}  // namespace

QCalendarWidget* makeCalendar(QWidget* parent) {
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
