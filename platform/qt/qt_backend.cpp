// The Qt back end: form windows come and go with the model's loads and unloads; popup menus and
// message boxes run nested event loops, so timers keep ticking while they are open.
#include "platform/qt/qt_backend.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include "platform/linux/wayland_frames.h"
#include "platform/qt/qt_accessible.h"
#include "platform/qt/qt_form_view.h"
#include "platform/qt/qt_icons.h"
#include "platform/qt/qt_trace.h"
#include "platform/qt/qt_units.h"

namespace qm::qt {

namespace {

// Entirely outside every screen, where the program keeps its tray window.
bool offScreen(const QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen && !screen->virtualGeometry().intersects(QRect(window.pos(), window.size()));
}

// The program opens one menu at a time; a window that opens (the warning at its due second)
// closes it, as it would on Windows, rather than leave it open behind the window.
void closeMenus() {
    for (int i = 0; i < 4; ++i) {
        QWidget* popup = QApplication::activePopupWidget();
        if (!popup || !popup->close()) return;
    }
}

}  // namespace

// A context-menu event that no control took comes up to the form's window; the control it was
// meant for is the one under the mouse, or, from the keyboard, the one with the focus.
class ContextMenuFilter final : public QObject {
public:
    explicit ContextMenuFilter(QtBackend& backend) : backend_(backend) {}

protected:
    bool eventFilter(QObject* window, QEvent* event) override {
        if (event->type() != QEvent::ContextMenu) return false;
        for (const auto& [form, view] : backend_.views_) {
            if (view && view->window() == window)
                return backend_.contextMenuAsked(*view, *static_cast<QContextMenuEvent*>(event));
        }
        return false;
    }

private:
    QtBackend& backend_;
};

WindowPlacement platformPlacement() {
    return QGuiApplication::platformName().startsWith(QStringLiteral("wayland")) ? WindowPlacement::Compositor
                                                                                 : WindowPlacement::Program;
}

TitleBars platformTitleBars() {
    // Qt's frame offers minimise and maximise buttons that a fixed-size window cannot use, and
    // cuts a title that does not clear all three (the warning's). Nothing to replace where the
    // compositor draws frames, or the user turned Qt's off or chose another kind of it.
    if (platformPlacement() != WindowPlacement::Compositor ||
        qEnvironmentVariableIsSet("QT_WAYLAND_DISABLE_WINDOWDECORATION") ||
        qEnvironmentVariableIsSet("QT_WAYLAND_DECORATION") || linux_desktop::compositorDrawsFrames())
        return TitleBars::Frame;
    return TitleBars::Window;
}

QtBackend::QtBackend(WindowPlacement placement, TitleBars titleBars)
    : placement_(placement), titleBars_(titleBars), contextMenus_(std::make_unique<ContextMenuFilter>(*this)) {
    QApplication::setFont(defaultFont());
    installFormAccessibility();
}

QtBackend::~QtBackend() {
    if (fontLoader_.joinable()) fontLoader_.join();
    for (auto& [form, view] : views_) delete view.data();
}

int QtBackend::exec() {
    if (quit_) return exitCode_;
    // The first window often opens long after start-up, at an entry's due second: the warning
    // should not spend that second on the font database. The event loop does not wait for it.
    if (!fontLoader_.joinable()) fontLoader_ = std::thread(loadFontDatabase);
    return QApplication::exec();
}

FormView* QtBackend::view(const ui::Form& form) const {
    auto it = views_.find(&form);
    return it == views_.end() ? nullptr : it->second.data();
}

QWidget* QtBackend::window(const ui::Form& form) const {
    FormView* v = view(form);
    return v ? v->window() : nullptr;
}

QStringList QtBackend::clippedTexts(const ui::Form& form) const {
    FormView* v = view(form);
    return v ? v->clippedTexts() : QStringList();
}

QObject* QtBackend::object(const ui::Control& control) const {
    FormView* v = view(control.form());
    ControlView* c = v ? v->find(control) : nullptr;
    return c ? c->object() : nullptr;
}

void QtBackend::created(ui::Form& form) {
    auto* v = new FormView(form, *runtime_, screenDpi(), titleBars_ == TitleBars::Window);
    views_[&form] = v;
    v->window()->installEventFilter(contextMenus_.get());
}

bool QtBackend::contextMenuAsked(FormView& v, const QContextMenuEvent& event) {
    const bool fromKeyboard = event.reason() == QContextMenuEvent::Keyboard;
    QWidget* at = fromKeyboard ? v.window()->focusWidget()
                               : v.window()->childAt(v.window()->mapFromGlobal(event.globalPos()));
    for (; at && at != v.window(); at = at->parentWidget()) {
        for (const auto& c : v.form().controls()) {
            const ControlView* cv = v.find(*c);
            if (!cv || cv->widget != at || !c->onContextMenu) continue;
            QPoint anchor = event.globalPos();
            if (fromKeyboard) {
                // At the list's current row, else below the control, as on Windows.
                auto* list = qobject_cast<QAbstractItemView*>(at);
                const QRect row = list && list->currentIndex().isValid() ? list->visualRect(list->currentIndex())
                                                                         : QRect();
                anchor = row.isValid() ? list->viewport()->mapToGlobal(row.bottomLeft())
                                       : at->mapToGlobal(at->rect().bottomLeft());
            }
            if (v.live() && !runtime_->ended())
                runtime_->contextMenu(*c, {.anchor = {anchor.x(), anchor.y()}, .fromKeyboard = fromKeyboard});
            return true;
        }
    }
    return false;
}

void QtBackend::destroyed(ui::Form& form) {
    trace(QStringLiteral("unloaded %1").arg(qs(form.name())));
    auto it = views_.find(&form);
    if (it == views_.end()) return;
    if (it->second) it->second->retire();
    views_.erase(it);
}

void QtBackend::shown(ui::Form& form) {
    FormView* v = view(form);
    if (!v) return;
    QWidget* w = v->window();
    if (placement_ == WindowPlacement::Compositor && offScreen(*w)) {
        // The compositor would put it in view instead: an empty window for the whole session.
        trace(QStringLiteral("kept off screen %1").arg(qs(form.name())));
        return;
    }
    trace(QStringLiteral("shown %1 \"%2\"").arg(qs(form.name()), w->windowTitle()));
    closeMenus();
    // The due check shows the warning again every 100 ms of its due second: it opens only once.
    const bool opening = !w->isVisible();
    w->show();
    w->raise();
    w->activateWindow();
    v->focusFirst();
    if (opening && v->window()->role() == ui::Role::Alert) announceAlert(w);
    if (tracing()) {
        for (const QString& clipped : v->clippedTexts())
            trace(QStringLiteral("clipped %1.%2").arg(qs(form.name()), clipped));
    }
}

void QtBackend::hidden(ui::Form& form) {
    trace(QStringLiteral("hidden %1").arg(qs(form.name())));
    if (FormView* v = view(form)) v->window()->hide();
}

void QtBackend::formChanged(ui::Form& form, ui::FormProp prop) {
    if (prop == ui::FormProp::Caption)
        trace(QStringLiteral("caption %1 \"%2\"").arg(qs(form.name()), qs(form.caption())));
    if (FormView* v = view(form)) v->applyForm(prop);
}

void QtBackend::changed(ui::Control& control, ui::Prop prop) {
    if (tracing() && control.kind() == ui::Kind::Label) {
        const QString name = qs(control.form().name() + "." + control.name());
        if (prop == ui::Prop::Caption)
            trace(QStringLiteral("text %1 \"%2\"").arg(name, qs(control.caption())));
        if (prop == ui::Prop::ForeColour)
            trace(QStringLiteral("colour %1 %2").arg(name, toQColor(control.foreColour()).name()));
    }
    if (FormView* v = view(control.form())) v->apply(control, prop);
}

void QtBackend::listChanged(ui::Control& control, const ui::ListChange& change) {
    if (FormView* v = view(control.form())) v->applyList(control, change);
    if (tracing())
        trace(QStringLiteral("rows %1 %2")
                  .arg(qs(control.form().name() + "." + control.name()))
                  .arg(control.listCount()));
}

void QtBackend::timerChanged(ui::Control& timer) {
    if (FormView* v = view(timer.form())) v->updateTimer(timer);
}

ui::Size QtBackend::outerSize(const ui::Form& form) const {
    FormView* v = view(form);
    if (!v) return {};
    const QSize size = v->window()->frameGeometry().size();
    return {pixelsToTwips(size.width(), v->dpi()), pixelsToTwips(size.height(), v->dpi())};
}

ui::Size QtBackend::screenSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    const double dpi = screenDpi();
    return {pixelsToTwips(screen->geometry().width(), dpi), pixelsToTwips(screen->geometry().height(), dpi)};
}

namespace {

// Keeps the right button from choosing an item of a menu that only the left button picks; a
// right press elsewhere still closes the menu.
class LeftButtonOnly final : public QObject {
protected:
    bool eventFilter(QObject* menu, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonRelease) return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        return mouse->button() == Qt::RightButton &&
               static_cast<QWidget*>(menu)->rect().contains(mouse->position().toPoint());
    }
};

}  // namespace

void QtBackend::popupMenu(ui::Form& form, ui::Control& menu, ui::PopupButtons buttons,
                          std::optional<ui::ScreenPoint> at, std::function<void(bool chosen)> closed) {
    QPointer<FormView> v = view(form);
    ControlView* menuView = v ? v->find(menu) : nullptr;
    if (!menuView || !menuView->menu) {
        if (closed) closed(false);
        return;
    }
    QMenu* qmenu = menuView->menu;
    if (qmenu->isVisible()) {
        // Asked again while open (a tray host's second Activate): it closes, as a second click
        // on the icon closes it on X11, rather than opening a second menu over the first.
        qmenu->hide();
        if (closed) closed(false);
        return;
    }
    LeftButtonOnly leftOnly;  // leaves the menu's filters when it goes
    if (buttons == ui::PopupButtons::Left) qmenu->installEventFilter(&leftOnly);
    // A screen reader's press triggers the item, which leaves exec() waiting for the mouse or a
    // key: the item is taken as chosen and the menu closed, as Enter does.
    QPointer<QAction> pressed;
    const QMetaObject::Connection press = QObject::connect(qmenu, &QMenu::triggered, qmenu, [&pressed, qmenu](QAction* a) {
        pressed = a;
        qmenu->hide();
    });
    // On Wayland the tray's menu is a window of its own with no grab: a click elsewhere only
    // takes the focus from it, which closes it.
    QMetaObject::Connection focusLost;
    if (placement_ == WindowPlacement::Compositor) {
        focusLost = QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, qmenu,
                                     [qmenu, hadFocus = false](QWindow* focused) mutable {
                                         if (focused && focused == qmenu->windowHandle())
                                             hadFocus = true;
                                         else if (hadFocus)
                                             qmenu->hide();
                                     });
    }
    const QString name = qs(form.name() + "." + menu.name());
    trace(QStringLiteral("menu %1 opened").arg(name));
    QAction* chosen = qmenu->exec(at ? QPoint(at->x, at->y) : menuPosition(*v));
    trace(QStringLiteral("menu %1 closed").arg(name));
    QObject::disconnect(press);
    QObject::disconnect(focusLost);
    if (!chosen) chosen = pressed;
    // The form may have gone, or the program ended, while the menu was open.
    bool picked = false;
    if (chosen && v && v->live() && !runtime_->ended()) {
        for (ui::Control* item : form.childrenOf(menu.name())) {
            ControlView* itemView = v->find(*item);
            if (itemView && itemView->action == chosen && item->enabled()) {
                picked = true;
                runtime_->click(*item);
                break;
            }
        }
    }
    if (closed) closed(picked);
}

QPoint QtBackend::menuPosition(const FormView& form) const {
    // At the mouse pointer: for the tray's menu, where the user clicked the icon. On Wayland the
    // pointer is known only over the program's own windows; a menu of a window that is not in
    // view (the tray's) becomes a window of its own, which the compositor places.
    if (placement_ == WindowPlacement::Program || form.window()->isVisible()) return QCursor::pos();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().center() : QPoint();
}

void QtBackend::messageBox(const std::string& text, const std::string& title, ui::MessageBoxButtons buttons,
                           std::function<void(ui::MessageBoxAnswer)> closed) {
    // The program's boxes have one OK button and no icon; a question has はい and いいえ and the
    // warning sign, いいえ first in line for Enter.
    trace(QStringLiteral("message \"%1\" \"%2\"").arg(qs(title), qs(text)));
    const bool question = buttons == ui::MessageBoxButtons::YesNo;
    QMessageBox box;
    box.setWindowTitle(qs(title));
    box.setText(qs(text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(question ? QMessageBox::Warning : QMessageBox::NoIcon);
    if (question) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
        box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    for (QAbstractButton* b : box.buttons()) b->setIcon(QIcon());  // plain buttons, as the program's boxes have
    box.setWindowIcon(programIcon(ui::Icon::Running));
    const int chosen = box.exec();
    const ui::MessageBoxAnswer answer = !question                 ? ui::MessageBoxAnswer::Ok
                                        : chosen == QMessageBox::Yes ? ui::MessageBoxAnswer::Yes
                                                                     : ui::MessageBoxAnswer::No;
    if (closed) closed(answer);
}

void QtBackend::doEvents() {
    QCoreApplication::processEvents();
}

void QtBackend::disableCloseCommand(ui::Form& form) {
    if (FormView* v = view(form)) v->disableClose();
}

void QtBackend::quit(int exitCode) {
    quit_ = true;
    exitCode_ = exitCode;
    // Leaves every running event loop, nested ones (a menu, a message box) included. The Runtime
    // runs no further handler from here on.
    QCoreApplication::exit(exitCode);
}

}  // namespace qm::qt
