// A label that is a link (a Label the definition marks `link`): it takes the focus by Tab and by a
// click, and shows the focus as a dotted frame around its text. Enter and Space on it go to the
// form (qt_form_keys.cpp); to assistive technology it reads as a link (qt_accessible.cpp).
#pragma once

#include <QLabel>

class QPaintEvent;

namespace qm::qt {

class LinkLabel final : public QLabel {
public:
    explicit LinkLabel(QWidget* parent) : QLabel(parent) { setFocusPolicy(Qt::StrongFocus); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qm::qt
