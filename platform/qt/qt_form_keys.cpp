// The keyboard of a form's window: Enter and Esc go to the form runtime with the button that has
// the focus, the Delete key to the control with the focus. Tab order, arrows and Space are Qt's
// own.
#include <QKeyEvent>
#include <QPushButton>

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

bool FormView::keyPressed(const QKeyEvent& key) {
    // Keys held with Ctrl, Alt or Meta are not the window's.
    if (key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) return false;
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            ControlView* focused = qobject_cast<QPushButton*>(window_->focusWidget()) ? viewOf(window_->focusWidget()) : nullptr;
            bool taken = false;
            fromUser([&] { taken = runtime_.enterPressed(form_, focused ? focused->control : nullptr); });
            return taken;
        }
        case Qt::Key_Escape: {
            bool taken = false;
            fromUser([&] { taken = runtime_.escapePressed(form_); });
            return taken;
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
