// The Line control's widget: a bounding box one pixel wider than the line on every side.
#include "platform/qt/qt_line.h"

#include <QPainter>

namespace qm::qt {

void LineWidget::setLine(QPoint from, QPoint to) {
    const QRect box = QRect(from, to).normalized().adjusted(-1, -1, 1, 1);
    setGeometry(box);
    line_ = QLine(from - box.topLeft(), to - box.topLeft());
    update();
}

void LineWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(colour_, 1));
    painter.drawLine(line_);
}

}  // namespace qm::qt
