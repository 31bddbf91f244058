// Form windows to assistive technology: Qt reads a plain top-level QWidget as a nameless "client"
// area (AT-SPI's filler), which gives a screen reader no reason to speak when one opens, and a
// label as static text, even one that is a link. Interfaces of our own, handed out by a factory
// Qt asks before its own, give the roles.
//
// Qt's own interfaces also say "focused" of objects that do not have the focus: the current tab of
// a tab strip (and the strip's frame with it), a list's current row and an editable combo box
// together with its line edit, so a screen reader found several focused objects in one window.
// Ours for those controls say it of one object only: the control with the keyboard focus, or its
// current item.
#include "platform/qt/qt_accessible.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <map>
#include <vector>

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
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != pressAction()) return QAccessibleWidget::doAction(action);
        QPointer<LinkLabel> link = static_cast<LinkLabel*>(widget());
        QTimer::singleShot(0, link, [link] {
            if (link && link->followed) link->followed();
        });
    }
};

// The items of a control (a tab strip's tabs, a list's rows), made when first asked for and kept
// in Qt's cache under the ids it gives them, until the items change or the control goes.
class Items {
public:
    Items() = default;
    Items(const Items&) = delete;
    Items& operator=(const Items&) = delete;
    ~Items() { clear(); }
    template <class Make>
    QAccessibleInterface* get(int index, Make make) {
        auto it = ids_.find(index);
        if (it == ids_.end())
            it = ids_.emplace(index, QAccessible::registerAccessibleInterface(make())).first;
        return QAccessible::accessibleInterface(it->second);
    }
    void clear() {
        for (const auto& [index, id] : ids_) QAccessible::deleteAccessibleInterface(id);
        ids_.clear();
    }

private:
    std::map<int, QAccessible::Id> ids_;
};

// An item with no QObject of its own: its control is its parent and says where it is.
class ItemAccessible : public QAccessibleInterface {
public:
    ItemAccessible(QWidget* control, int index) : control_(control), index_(index) {}
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return control_ ? control_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(control_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

protected:
    QPointer<QWidget> control_;
    int index_;
};

// A tab strip's tab: selected while it is the current one, focused only while the strip has the
// keyboard too; a press makes it current.
class TabAccessible final : public ItemAccessible, public QAccessibleActionInterface {
public:
    using ItemAccessible::ItemAccessible;
    bool isValid() const override { return control_ && index_ < bar()->count(); }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return QString(bar()->tabText(index_)).remove(QLatin1Char('&'));
        if (t == QAccessible::Description) return bar()->tabToolTip(index_);
        return {};
    }
    QRect rect() const override {
        const QRect tab = bar()->tabRect(index_);
        return QRect(bar()->mapToGlobal(tab.topLeft()), tab.size());
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State s;
        const bool current = index_ == bar()->currentIndex();
        s.focusable = s.selectable = true;
        s.selected = current;
        s.focused = current && bar()->hasFocus();
        s.disabled = !bar()->isTabEnabled(index_);
        s.invisible = !bar()->isVisible() || !bar()->isTabVisible(index_);
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && isValid()) bar()->setCurrentIndex(index_);
    }

private:
    QTabBar* bar() const { return static_cast<QTabBar*>(control_.data()); }
};

// A tab strip and its tabs, numbered as Qt's focus and selection events number them. The strip
// says it has the focus itself only when no tab is current.
class TabBarAccessible final : public QAccessibleWidget {
public:
    explicit TabBarAccessible(QTabBar* bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {}
    int childCount() const override { return bar()->count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        return tabs_.get(index, [&] { return new TabAccessible(bar(), index); });
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child) return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return child(bar()->tabAt(bar()->mapFromGlobal(QPoint(x, y))));
    }
    QAccessibleInterface* focusChild() const override {
        return bar()->hasFocus() ? child(bar()->currentIndex()) : nullptr;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.focused = s.focused && bar()->currentIndex() < 0;
        return s;
    }

private:
    QTabBar* bar() const { return static_cast<QTabBar*>(widget()); }
    mutable Items tabs_;
};

// A tab strip's frame, read as Qt reads it, except that it hands the keyboard to its tabs (its
// focus proxy), so they, not the frame, say they have the focus.
class TabWidgetAccessible final : public QAccessibleWidget {
public:
    explicit TabWidgetAccessible(QTabWidget* tabs) : QAccessibleWidget(tabs, QAccessible::Client) {}
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.focused = false;
        return s;
    }
};

// A row of a list: selected as the list's selection says, focused only while it is the current
// row of a list that has the keyboard.
class RowAccessible final : public ItemAccessible {
public:
    using ItemAccessible::ItemAccessible;
    bool isValid() const override { return control_ && index().isValid(); }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? index().data(Qt::DisplayRole).toString() : QString();
    }
    QRect rect() const override {
        const QRect row = list()->visualRect(index());
        return QRect(list()->viewport()->mapToGlobal(row.topLeft()), row.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    int row() const { return index_; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.focusable = s.selectable = true;
        s.selected = list()->selectionModel()->isSelected(index());
        s.focused = list()->hasFocus() && list()->currentIndex() == index();
        s.invisible =
            !list()->isVisible() || !list()->viewport()->rect().intersects(list()->visualRect(index()));
        return s;
    }

private:
    QListView* list() const { return static_cast<QListView*>(control_.data()); }
    QModelIndex index() const { return list()->model()->index(index_, 0); }
};

// A list of one column, its rows numbered as Qt's focus and selection events number them (the
// row). The list says it has the focus itself only when it has no current row.
class ListAccessible final : public QAccessibleWidget {
public:
    explicit ListAccessible(QListView* list) : QAccessibleWidget(list, QAccessible::List) {
        // Rows are numbered: a change of rows makes them again as they are asked for.
        QAbstractItemModel* model = list->model();
        if (!model) return;
        const auto forget = [this] { rows_.clear(); };
        changes_ = {QObject::connect(model, &QAbstractItemModel::rowsInserted, forget),
                    QObject::connect(model, &QAbstractItemModel::rowsRemoved, forget),
                    QObject::connect(model, &QAbstractItemModel::rowsMoved, forget),
                    QObject::connect(model, &QAbstractItemModel::modelReset, forget),
                    QObject::connect(model, &QAbstractItemModel::layoutChanged, forget)};
    }
    ~ListAccessible() override {
        for (const auto& change : changes_) QObject::disconnect(change);
    }
    int childCount() const override { return list()->model()->rowCount(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        return rows_.get(index, [&] { return new RowAccessible(list(), index); });
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || child->role() != QAccessible::ListItem || child->parent() != this) return -1;
        return static_cast<const RowAccessible*>(child)->row();
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QModelIndex at = list()->indexAt(list()->viewport()->mapFromGlobal(QPoint(x, y)));
        return at.isValid() ? child(at.row()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        return list()->hasFocus() && list()->currentIndex().isValid() ? child(list()->currentIndex().row())
                                                                      : nullptr;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.focused = s.focused && !list()->currentIndex().isValid();
        return s;
    }

private:
    QListView* list() const { return static_cast<QListView*>(widget()); }
    mutable Items rows_;
    std::vector<QMetaObject::Connection> changes_;
};

// An editable combo box: its line edit is where the keyboard goes (its focus proxy is the box, so Qt
// says both have the focus), and it alone says so. The box's value is its text; its popup list is
// a window of its own, read as it opens, and the press action opens it.
class ComboAccessible final : public QAccessibleWidget {
public:
    explicit ComboAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? combo()->currentText() : QAccessibleWidget::text(t);
    }
    QAccessibleInterface* focusChild() const override {
        return combo()->hasFocus() ? QAccessible::queryAccessibleInterface(combo()->lineEdit()) : nullptr;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.focused = false;
        s.editable = true;
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction()) return combo()->showPopup();
        QAccessibleWidget::doAction(action);
    }

private:
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* formFactory(const QString&, QObject* object) {
    if (auto* window = dynamic_cast<FormWindow*>(object)) return new FormAccessible(window);
    if (auto* link = dynamic_cast<LinkLabel*>(object)) return new LinkAccessible(link);
    if (auto* bar = dynamic_cast<QTabBar*>(object)) return new TabBarAccessible(bar);
    if (auto* tabs = dynamic_cast<QTabWidget*>(object)) return new TabWidgetAccessible(tabs);
    if (auto* list = dynamic_cast<QListView*>(object)) return new ListAccessible(list);
    if (auto* combo = dynamic_cast<QComboBox*>(object); combo && combo->isEditable())
        return new ComboAccessible(combo);
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
