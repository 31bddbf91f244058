#include "platform/qt/qt_title_bar.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QWindow>
#include <cmath>

namespace qm::qt {

namespace {

// At 96 dpi: the bar as high as Qt's frame has it, the title at its 14 px, the close button at
// the right end.
constexpr int kBarPixels = 30;
constexpr int kTitlePixels = 14;
constexpr int kButtonPixels = 22;
constexpr int kButtonMargin = 4;
constexpr int kFrameLine = 1;

int scaled(int pixels, double dpi) {
    return static_cast<int>(std::lround(pixels * dpi / 96.0));
}

}  // namespace

TitleBar::TitleBar(QWidget& window, double dpi)
    : QWidget(&window), window_(window), close_(new QToolButton(this)), height_(scaled(kBarPixels, dpi)) {
    QFont font = window.font();
    font.setPixelSize(scaled(kTitlePixels, dpi));
    setFont(font);
    const int button = scaled(kButtonPixels, dpi);
    close_->setFixedSize(button, button);
    close_->setAutoRaise(true);
    close_->setFocusPolicy(Qt::NoFocus);  // Esc and the window's keys close it from the keyboard
    close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close_->setAccessibleName(QStringLiteral("閉じる"));
    connect(close_, &QToolButton::clicked, &window, &QWidget::close);
    window.installEventFilter(this);
}

QMargins TitleBar::frameMargins() const {
    return {kFrameLine, height_, kFrameLine, kFrameLine};
}

void TitleBar::setClosable(bool closable) {
    close_->setVisible(closable);
}

bool TitleBar::closable() const {
    return !close_->isHidden();
}

void TitleBar::paintFrameLine(QWidget& window) {
    QPainter painter(&window);
    painter.setPen(window.palette().color(QPalette::Mid));
    painter.drawRect(window.rect().adjusted(0, 0, -1, -1));
}

bool TitleBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_) {
        switch (event->type()) {
            case QEvent::Resize: {
                setGeometry(kFrameLine, kFrameLine, window_.width() - 2 * kFrameLine, height_ - kFrameLine);
                const int margin = (height() - close_->height()) / 2;
                close_->move(width() - close_->width() - std::max(margin, kButtonMargin), margin);
                break;
            }
            case QEvent::WindowTitleChange:
            case QEvent::ActivationChange:
                update();
                break;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TitleBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawLine(rect().bottomLeft(), rect().bottomRight());
    // Centred over the whole bar, as a frame's title is; shortened only where the button leaves
    // no room for it.
    const int reserved = closable() ? width() - close_->x() : 0;
    const QRect room = rect().adjusted(reserved, 0, -reserved, -1);
    const QString title =
        fontMetrics().elidedText(window_.windowTitle(), Qt::ElideRight, std::max(room.width(), 0));
    QColor ink = colours.color(QPalette::WindowText);
    if (!window_.isActiveWindow()) ink.setAlphaF(0.5);  // the title of a window in the background
    painter.setPen(ink);
    painter.drawText(room, Qt::AlignCenter, title);
}

void TitleBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (QWindow* handle = window_.windowHandle()) handle->startSystemMove();
}

}  // namespace qm::qt
