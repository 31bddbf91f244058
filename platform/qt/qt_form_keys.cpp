// The keyboard of a form's window: Enter, Esc, Space and Delete that no widget took go to the form
// runtime with the control that has the focus, which decides what they mean, and Tab and
// Shift+Tab follow its tab order. Arrows and Space on Qt's own buttons are Qt's.
#include <QKeyEvent>

#include "platform/qt/qt_form_view.h"

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

bool FormView::tabPressed(bool forward) {
    const ControlView* view = viewOf(window_->focusWidget());
    ui::Control* next = form_.nextFocus(view ? view->control : nullptr, forward);
    const ControlView* target = next ? find(*next) : nullptr;
    if (!target || !target->widget) return false;
    target->widget->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool FormView::keyPressed(const QKeyEvent& key) {
    // Keys held with Ctrl, Alt or Meta are not the window's.
    if (key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) return false;
    ControlView* view = viewOf(window_->focusWidget());
    ui::Control* focused = view ? view->control : nullptr;
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            bool taken = false;
            fromUser([&] { taken = runtime_.enterPressed(form_, focused); });
            return taken;
        }
        case Qt::Key_Escape: {
            bool taken = false;
            fromUser([&] { taken = runtime_.escapePressed(form_); });
            return taken;
        }
        case Qt::Key_Space: {
            // A label lets the key through to its window; a button clicks on the key's release.
            bool taken = false;
            fromUser([&] { taken = runtime_.spacePressed(focused); });
            return taken;
        }
        case Qt::Key_Delete: {
            if (!focused) return false;
            fromUser([&] { runtime_.keyDown(*focused, ui::Key::Delete); });
            return true;
        }
        default:
            return false;
    }
}

}  // namespace qm::qt
