// A label that is a link (a Label the definition marks `link`): it takes the focus by Tab and by a
// click, and shows the focus as a dotted frame around its text. Enter and Space on it go to the
// form (qt_form_keys.cpp); to assistive technology it reads as a link that its press action
// follows (qt_accessible.cpp).
#pragma once

#include <QLabel>
#include <functional>

class QPaintEvent;

namespace qm::qt {

class LinkLabel final : public QLabel {
public:
    explicit LinkLabel(QWidget* parent) : QLabel(parent) { setFocusPolicy(Qt::StrongFocus); }

    // Follows the link as a click does: for assistive technology's press action.
    std::function<void()> followed;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qm::qt
