// The Line control: a straight line between two points, drawn in the text colour.
#pragma once

#include <QColor>
#include <QLine>
#include <QWidget>

class QPaintEvent;

namespace qm::qt {

class LineWidget final : public QWidget {
public:
    explicit LineWidget(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

    // Places the widget around the line from `from` to `to`, in the parent's pixels.
    void setLine(QPoint from, QPoint to);
    void setColour(QColor colour) {
        colour_ = colour;
        update();
    }
    QLine line() const { return line_; }  // in the widget's own pixels

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLine line_;
    QColor colour_ = Qt::black;
};

}  // namespace qm::qt
