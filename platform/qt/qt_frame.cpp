// The Frame control's painting: the style's plain frame from the middle of the title's line down,
// and the title over the frame line, which stops on either side of it. (The style's group-box
// frame will not do: Fusion moves it down below where it would draw the title.)
#include "platform/qt/qt_frame.h"

#include <QStyleOptionFrame>
#include <QStylePainter>

namespace qm::qt {

namespace {

// Space between the frame line and the title on either side.
constexpr int kTitlePadding = 2;

}  // namespace

QRect FrameBox::titleRect() const {
    if (title().isEmpty()) return {};
    const QFontMetrics metrics = fontMetrics();
    // Indented by half a line, as Windows indents it.
    return {metrics.height() / 2, 0, metrics.horizontalAdvance(title()) + 2 * kTitlePadding,
            metrics.height()};
}

void FrameBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(0, fontMetrics().height() / 2, 0, 0);
    frame.lineWidth = 1;
    frame.state |= QStyle::State_Sunken;
    painter.drawPrimitive(QStyle::PE_Frame, frame);
    const QRect title = titleRect();
    if (title.isEmpty()) return;
    painter.fillRect(title, palette().brush(backgroundRole()));
    painter.drawItemText(title, Qt::AlignCenter, palette(), isEnabled(), this->title(), foregroundRole());
}

}  // namespace qm::qt
