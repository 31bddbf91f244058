// The keyboard of a form's window, as on Windows: Enter answers with the focused button or else
// the default one, Esc with the cancel button or else the close box; the Delete key goes to the
// control with the focus. Tab order, arrows and Space are Qt's own.
#include <QKeyEvent>
#include <QPushButton>

#include "platform/qt/qt_form_view.h"

namespace qm::qt {

using ui::Kind;

QPushButton* FormView::markedButton(bool ui::ControlDef::*mark) const {
    for (const auto& view : views_) {
        const ui::Control& control = *view->control;
        if (control.kind() == Kind::Button && control.props().*mark && view->widget->isEnabled() &&
            effectiveVisible(control))
            return static_cast<QPushButton*>(view->widget);
    }
    return nullptr;
}

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
            // As on Windows, a button with the focus answers Enter in place of the default one.
            QPushButton* button = qobject_cast<QPushButton*>(window_->focusWidget());
            if (!button) button = markedButton(&ui::ControlDef::isDefault);
            if (!button) return false;
            button->click();
            return true;
        }
        case Qt::Key_Escape:
            if (QPushButton* cancel = markedButton(&ui::ControlDef::isCancel)) {
                cancel->click();
                return true;
            }
            // A window without a cancel button closes, as its close box would close it.
            if (!form_.def().controlBox) return false;
            fromUser([this] { runtime_.closeRequested(form_); });
            return true;
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
