// The exit-method option buttons that the settings window and the time-of-day dialog share: one
// row per method of the methods' table, captioned for the user, each standing for the word an
// entry stores.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "platform/ui/definition.h"
#include "platform/ui/form.h"
#include "schedule/exit_method.h"

namespace qm {

// Adds the methods' option rows to `form` right after its frame `frame`, one below the other in
// the table's order, the first selected; `tabIndexes` gives each row's place in the window's Tab
// order, one per method.
void addMethodOptions(ui::FormDef& form, std::string_view frame, std::span<const int> tabIndexes);
template <std::size_t N>
void addMethodOptions(ui::FormDef& form, std::string_view frame, const int (&tabIndexes)[N]) {
    static_assert(N == kExitMethods.size(), "one tab index per exit method");
    addMethodOptions(form, frame, std::span<const int>(tabIndexes));
}

class MethodOptions {
public:
    // Binds the options of a form that has just loaded.
    void bind(ui::Form& form);
    // The stored word of the selected option.
    std::string_view chosenWord() const;

private:
    std::array<const ui::Control*, kExitMethods.size()> options_{};
};

}  // namespace qm
