// One loaded form in Qt: its window, the Qt object of each control, the mirroring of the model's
// properties onto them, and the user's actions turned into Runtime events. Internal to the back end.
#pragma once

#include <QDate>
#include <QObject>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/ui/runtime.h"

class QAction;
class QCloseEvent;
class QKeyEvent;
class QMenu;
class QPushButton;
class QTimer;

namespace qm::linux_desktop {
class RealTimeAlarm;
}

namespace qm::qt {

class ListModelAdapter;
using linux_desktop::RealTimeAlarm;

// A top-level form window. Closing is never Qt's decision: a close request goes to the model,
// which unloads the form or, for a form whose Close command is disabled, ignores it.
class FormWindow final : public QWidget {
public:
    explicit FormWindow(ui::Role role) : role_(role) {}
    // Draws the line round a window that draws its own title bar.
    void setFrameLine(bool drawn) { frameLine_ = drawn; }
    // What the window is to assistive technology (see qt_accessible.h).
    ui::Role role() const { return role_; }

    std::function<void()> onCloseRequest;
    // A key that no control of the window took; true when it did something.
    std::function<bool(const QKeyEvent&)> onKey;
    // Tab (true) or Shift+Tab; true when it moved the focus.
    std::function<bool(bool)> onTab;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent* event) override;

private:
    ui::Role role_;
    bool frameLine_ = false;
};

struct ControlView {
    ui::Control* control = nullptr;
    QWidget* widget = nullptr;  // every visible control, the QMenu of a Menu included
    QTimer* timer = nullptr;           // a timer with an interval
    RealTimeAlarm* alarm = nullptr;    // the same timer set for a moment
    QMenu* menu = nullptr;
    QAction* action = nullptr;          // a menu item
    ListModelAdapter* items = nullptr;  // a list or combo box's rows
    QObject* object() const;
};

class TitleBar;

class FormView final : public QObject {
public:
    // With `ownTitleBar`, a window with a border draws its title bar itself (qt_title_bar.h).
    FormView(ui::Form& form, ui::Runtime& runtime, double dpi, bool ownTitleBar = false);
    ~FormView() override;

    ui::Form& form() const { return form_; }
    FormWindow* window() const { return window_; }
    // Its own title bar; null where the frame has the title.
    TitleBar* titleBar() const { return titleBar_; }
    double dpi() const { return dpi_; }
    bool live() const { return live_; }

    ControlView* find(const ui::Control& control) const { return static_cast<ControlView*>(control.native); }

    void apply(ui::Control& control, ui::Prop prop);
    void applyList(ui::Control& control, const ui::ListChange& change);
    void applyForm(ui::FormProp prop);
    void updateTimer(ui::Control& timer);
    // Each control whose text the window does not show whole, with what it needs and has; empty
    // when every text fits.
    QStringList clippedTexts() const;
    // Gives the focus, when nothing has it yet, to the first control in tab order that can take it;
    // an alert gives it to its default button, so that Enter answers it.
    void focusFirst();
    void disableClose();
    // The form was unloaded: no further event reaches the model; Qt deletes the window later,
    // since the unload may run inside one of its own signals.
    void retire();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ControlView& build(ui::Control& control);
    QWidget* containerOf(const ui::Control& control);
    void createObject(ControlView& view);
    void connectEvents(ControlView& view);
    void applyAll(ui::Control& control);
    void applyGeometry(ControlView& view);
    void applyTabVisibility(ui::Control& tabStrip);
    bool effectiveVisible(const ui::Control& control) const;
    void setTabOrder();
    // Enter clicks the focused button or link, else the default button; Space the focused link;
    // Esc the cancel button, else the close box; the Delete key goes to the control that has the
    // focus.
    bool keyPressed(const QKeyEvent& key);
    bool tabPressed(bool forward);
    // The control whose widget is `widget` or holds it.
    ControlView* viewOf(QWidget* widget) const;
    // The list box's selection as the model has it, unless the view shows that already.
    void showListIndex(ControlView& view);
    ui::Control* byName(const std::string& name) const;
    // A day of the calendar clicked, or chosen with the arrow keys and Enter: the model takes the
    // date, then the click.
    void dayPicked(ui::Control& calendar, QDate date);
    // Runs `action` unless the form is gone or the change comes from the model itself.
    void fromUser(const std::function<void()>& action);

    ui::Form& form_;
    ui::Runtime& runtime_;
    double dpi_;
    FormWindow* window_;
    TitleBar* titleBar_ = nullptr;
    QWidget* client_;  // the controls' parent: the window, or the area below its own title bar
    std::vector<std::unique_ptr<ControlView>> views_;
    std::unordered_map<QObject*, ControlView*> filtered_;  // labels and list viewports
    bool live_ = true;
    int mirroring_ = 0;  // >0 while the model's changes are applied
};

}  // namespace qm::qt
