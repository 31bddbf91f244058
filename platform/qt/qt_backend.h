// The Qt 6 back end of the form model: each loaded form is a QWidget window with native Qt
// controls built from its definition; the user's actions go back to the Runtime as events.
#pragma once

#include <QPointer>
#include <QStringList>
#include <map>
#include <memory>
#include <thread>

#include "platform/ui/runtime.h"

class QContextMenuEvent;
class QObject;
class QPoint;
class QWidget;

namespace qm::qt {

class FormView;

// Who places top-level windows: the program, or the compositor alone (Wayland, where a client
// can neither place a window nor read the pointer's place on the screen).
enum class WindowPlacement { Program, Compositor };
// The running platform's.
WindowPlacement platformPlacement();

// Who draws a window's title bar: the frame around it (the window manager's, the compositor's or
// Qt's), or the window itself, where on Wayland Qt's frame would be the one.
enum class TitleBars { Frame, Window };
// The running platform's.
TitleBars platformTitleBars();

class QtBackend final : public ui::Backend {
public:
    // Needs a QApplication. Controls without a font of their own use the Japanese Gothic.
    explicit QtBackend(WindowPlacement placement = platformPlacement(),
                       TitleBars titleBars = platformTitleBars());
    ~QtBackend() override;
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    // The runtime that receives the user's actions; set once, before the first form loads.
    void attach(ui::Runtime& runtime) { runtime_ = &runtime; }

    // Runs the event loop until quit(); returns at once when the program has already ended.
    // The font database fills beside it meanwhile.
    int exec();
    bool quitRequested() const { return quit_; }

    // The Qt window of a loaded form (for tests and screenshots); null when not loaded.
    QWidget* window(const ui::Form& form) const;
    // The controls of a loaded form whose text does not show whole; empty when all fit.
    QStringList clippedTexts(const ui::Form& form) const;
    // The Qt object that stands for a control: a widget, a QTimer, a QMenu or a QAction.
    QObject* object(const ui::Control& control) const;

    void created(ui::Form& form) override;
    void destroyed(ui::Form& form) override;
    void shown(ui::Form& form) override;
    void hidden(ui::Form& form) override;
    void formChanged(ui::Form& form, ui::FormProp prop) override;
    void changed(ui::Control& control, ui::Prop prop) override;
    void listChanged(ui::Control& control, const ui::ListChange& change) override;
    void timerChanged(ui::Control& timer) override;
    ui::Size outerSize(const ui::Form& form) const override;
    ui::Size screenSize() const override;
    void popupMenu(ui::Form& form, ui::Control& menu, ui::PopupButtons buttons, std::optional<ui::ScreenPoint> at,
                   std::function<void(bool chosen)> closed) override;
    void messageBox(const std::string& text, const std::string& title, ui::MessageBoxButtons buttons,
                    std::function<void(ui::MessageBoxAnswer)> closed) override;
    void doEvents() override;
    void disableCloseCommand(ui::Form& form) override;
    void quit(int exitCode) override;

private:
    FormView* view(const ui::Form& form) const;
    // Where a menu of `form` opens.
    QPoint menuPosition(const FormView& form) const;
    // Qt's context-menu event that reached a form's window, from the control it was meant for
    // (the right button, the menu key); true when that control took it.
    bool contextMenuAsked(FormView& view, const QContextMenuEvent& event);
    friend class ContextMenuFilter;

    WindowPlacement placement_;
    TitleBars titleBars_;
    ui::Runtime* runtime_ = nullptr;
    std::map<const ui::Form*, QPointer<FormView>> views_;
    std::unique_ptr<QObject> contextMenus_;  // the filter on every form window
    bool quit_ = false;
    int exitCode_ = 0;
    std::thread fontLoader_;
};

}  // namespace qm::qt
