// A list or combo box's items for Qt's item views: a QAbstractListModel over the control's
// ui::ListModel. It reads items only when a view asks for a row, and passes each change on as
// the rows it concerns, so a long list costs what is on the screen.
#pragma once

#include <QAbstractListModel>

#include "platform/ui/form.h"

namespace qm::qt {

class ListModelAdapter final : public QAbstractListModel {
public:
    ListModelAdapter(const ui::Control& control, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The control's model has changed as `change` says; the views learn of it now.
    void follow(const ui::ListChange& change);
    // The control is going away with its form: no row is read from here on.
    void forget() { control_ = nullptr; }

private:
    const ui::Control* control_;
    // The rows the views know of. It moves only between the begin and end of each change, since
    // Qt's views compare it with what they hold.
    int count_;
};

}  // namespace qm::qt
