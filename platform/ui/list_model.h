// The items a list or combo box shows. A control views a model; the model tells its views what
// changed (a range inserted or removed, or everything), so a view of a long list does work in
// proportion to the change and to what is visible, never to the whole list per item.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qm::ui {

struct ListChange {
    enum class Kind { Reset, Inserted, Removed };
    Kind kind = Kind::Reset;
    std::size_t first = 0;  // Inserted, Removed: the first row concerned
    std::size_t count = 0;  // Inserted, Removed: how many rows
};

class ListModel {
public:
    using Observer = std::function<void(const ListChange&)>;

    ListModel() = default;
    ListModel(const ListModel&) = delete;
    ListModel& operator=(const ListModel&) = delete;
    virtual ~ListModel() = default;

    virtual std::size_t size() const = 0;
    // Valid until the model next changes.
    virtual std::string_view item(std::size_t row) const = 0;

    // `key` names the observer for unwatch(); one observer per key.
    void watch(const void* key, Observer observer) { observers_.emplace_back(key, std::move(observer)); }
    void unwatch(const void* key) {
        std::erase_if(observers_, [key](const auto& o) { return o.first == key; });
    }

protected:
    void notify(const ListChange& change) const {
        // An observer may unwatch while it is told; tell a copy of the list.
        const auto observers = observers_;
        for (const auto& [key, observer] : observers) observer(change);
    }

private:
    std::vector<std::pair<const void*, Observer>> observers_;
};

// A small list of strings, owned by the control that shows it (hours, minutes).
class StringListModel final : public ListModel {
public:
    std::size_t size() const override { return items_.size(); }
    std::string_view item(std::size_t row) const override { return items_.at(row); }

    void append(std::string item) {
        items_.push_back(std::move(item));
        notify({ListChange::Kind::Inserted, items_.size() - 1, 1});
    }
    void remove(std::size_t row) {
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(row));
        notify({ListChange::Kind::Removed, row, 1});
    }
    void assign(std::vector<std::string> items) {
        items_ = std::move(items);
        notify({ListChange::Kind::Reset});
    }

private:
    std::vector<std::string> items_;
};

}  // namespace qm::ui
