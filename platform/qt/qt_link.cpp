// The link label's focus frame: around the text as it is drawn, not the whole control, since the
// About window's link is centred in a label as wide as the window.
#include "platform/qt/qt_link.h"

#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace qm::qt {

void LinkLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    const QRect text = style()->itemTextRect(fontMetrics(), contentsRect(), static_cast<int>(alignment()),
                                             isEnabled(), this->text());
    option.rect = text.adjusted(-2, 0, 2, 0).intersected(rect());
    option.backgroundColor = palette().color(backgroundRole());
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

}  // namespace qm::qt
