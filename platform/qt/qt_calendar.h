// The Calendar control: Qt's month calendar as a Japanese calendar reads.
#pragma once

class QCalendarWidget;
class QWidget;

namespace qm::qt {

// A calendar in Japanese whose weeks start on Sunday: the heading reads "2026年12月", Saturday is
// blue and Sunday red, the month arrows are the style's own, and the day grid shares out the width
// it is given. A screen reader reads the grid as a list of days, the chosen one focused.
QCalendarWidget* makeCalendar(QWidget* parent);

}  // namespace qm::qt
