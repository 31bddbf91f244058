// The keyboard of a form's window: Enter and Esc go to the form runtime with the button or link
// that has the focus, Space on a link clicks it, the Delete key goes to the control with the
// focus. Tab order, arrows and Space on Qt's own buttons are Qt's.
#include <QKeyEvent>
#include <QPushButton>

#include "platform/qt/qt_form_view.h"
#include "platform/qt/qt_link.h"

namespace qm::qt {

using ui::Kind;

ControlView* FormView::viewOf(QWidget* widget) const {
    for (; widget && widget != window_; widget = widget->parentWidget()) {
        for (const auto& view : views_) {
            if (view->widget == widget) return view.get();
        }
    }
    return nullptr;
}

ControlView* FormView::focusedClickable(bool buttons) const {
    QWidget* focus = window_->focusWidget();
    const bool clickable = dynamic_cast<LinkLabel*>(focus) || (buttons && qobject_cast<QPushButton*>(focus));
    return clickable ? viewOf(focus) : nullptr;
}

bool FormView::keyPressed(const QKeyEvent& key) {
    // Keys held with Ctrl, Alt or Meta are not the window's.
    if (key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) return false;
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            ControlView* focused = focusedClickable(true);
            bool taken = false;
            fromUser([&] { taken = runtime_.enterPressed(form_, focused ? focused->control : nullptr); });
            return taken;
        }
        case Qt::Key_Escape: {
            bool taken = false;
            fromUser([&] { taken = runtime_.escapePressed(form_); });
            return taken;
        }
        case Qt::Key_Space: {
            // A label lets the key through to its window; a button clicks on the key's release.
            ControlView* link = focusedClickable(false);
            if (!link) return false;
            fromUser([&] { runtime_.click(*link->control); });
            return true;
        }
        case Qt::Key_Delete: {
            ControlView* view = viewOf(window_->focusWidget());
            if (!view) return false;
            fromUser([&] { runtime_.keyDown(*view->control, ui::Key::Delete); });
            return true;
        }
        default:
            return false;
    }
}

}  // namespace qm::qt
