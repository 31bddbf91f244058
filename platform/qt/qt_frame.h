// The Frame control: a group box whose title sits on its frame line, as Windows draws it. The
// windows place a frame's children counting from the top of the title, so a title drawn above
// the line (as Qt's styles do) would push the line down through the first child.
#pragma once

#include <QGroupBox>

class QPaintEvent;

namespace qm::qt {

class FrameBox final : public QGroupBox {
public:
    explicit FrameBox(QWidget* parent) : QGroupBox(parent) {}

    // Where the title is drawn, in the box's own pixels; empty without a title.
    QRect titleRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qm::qt
