// Form windows to assistive technology: Qt reads a plain top-level QWidget as a nameless "client"
// area (AT-SPI's filler), which gives a screen reader no reason to speak when one opens, and a
// label as static text, even one that is a link. Interfaces of our own, handed out by a factory
// Qt asks before its own, give the roles.
#include "platform/qt/qt_accessible.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QPointer>
#include <QTimer>

#include "platform/qt/qt_form_view.h"
#include "platform/qt/qt_link.h"

namespace qm::qt {

namespace {

QAccessible::Role accessibleRole(ui::Role role) {
    switch (role) {
        case ui::Role::Window:
            return QAccessible::Window;
        case ui::Role::Alert:
            return QAccessible::AlertMessage;
        case ui::Role::Dialog:
            break;
    }
    return QAccessible::Dialog;
}

class FormAccessible final : public QAccessibleWidget {
public:
    // Named by its caption, as every top-level widget is, and with no description: a screen reader
    // reads an alert's labels as it opens, and a description repeating them was read a second time.
    explicit FormAccessible(FormWindow* window) : QAccessibleWidget(window, accessibleRole(window->role())) {}
};

// A link, named by its text (the address, for the About window's), that a screen reader's press
// action follows. The action runs after the reader's call has returned, as a click would.
class LinkAccessible final : public QAccessibleWidget {
public:
    explicit LinkAccessible(LinkLabel* link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override {
        if (action != pressAction()) return QAccessibleWidget::doAction(action);
        QPointer<LinkLabel> link = static_cast<LinkLabel*>(widget());
        QTimer::singleShot(0, link, [link] {
            if (link && link->followed) link->followed();
        });
    }
};

QAccessibleInterface* formFactory(const QString&, QObject* object) {
    if (auto* window = dynamic_cast<FormWindow*>(object)) return new FormAccessible(window);
    if (auto* link = dynamic_cast<LinkLabel*>(object)) return new LinkAccessible(link);
    return nullptr;
}

}  // namespace

void installFormAccessibility() {
    static const bool installed = (QAccessible::installFactory(formFactory), true);
    (void)installed;
}

void announceAlert(QWidget* window) {
    // Asking for the event's interface makes one; nobody listens while accessibility is off.
    if (!window || !QAccessible::isActive()) return;
    QAccessibleEvent opened(window, QAccessible::Alert);
    QAccessible::updateAccessibility(&opened);
}

}  // namespace qm::qt
