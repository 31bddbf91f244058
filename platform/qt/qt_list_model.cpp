// The control's items as Qt item-view rows.
#include "platform/qt/qt_list_model.h"

namespace qm::qt {

ListModelAdapter::ListModelAdapter(const ui::Control& control, QObject* parent)
    : QAbstractListModel(parent), control_(&control), count_(control.listCount()) {}

int ListModelAdapter::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count_;
}

QVariant ListModelAdapter::data(const QModelIndex& index, int role) const {
    if (!control_ || !index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    // Between the begin and the end of a removal the model already has fewer rows than the views.
    const auto row = static_cast<std::size_t>(index.row());
    const ui::ListModel& model = control_->model();
    if (row >= model.size()) return {};
    const std::string_view item = model.item(row);
    return QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size()));
}

void ListModelAdapter::follow(const ui::ListChange& change) {
    const int first = static_cast<int>(change.first);
    const int count = static_cast<int>(change.count);
    switch (change.kind) {
        case ui::ListChange::Kind::Reset:
            beginResetModel();
            count_ = control_ ? control_->listCount() : 0;
            endResetModel();
            break;
        case ui::ListChange::Kind::Inserted:
            if (count <= 0) break;
            beginInsertRows({}, first, first + count - 1);
            count_ += count;
            endInsertRows();
            break;
        case ui::ListChange::Kind::Removed:
            if (count <= 0) break;
            beginRemoveRows({}, first, first + count - 1);
            count_ -= count;
            endRemoveRows();
            break;
    }
}

}  // namespace qm::qt
