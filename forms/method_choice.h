// The exit-method option buttons that the settings window and the time-of-day dialog share:
// Option1 to Option4 and Option10 to Option12, captioned for the user, each standing for the word
// an entry stores.
#pragma once

#include <array>
#include <string_view>

#include "platform/ui/form.h"

namespace qm {

class MethodOptions {
public:
    // Binds the options of a form that has just loaded.
    void bind(ui::Form& form);
    // The stored word of the selected option, tested in the order shut-down, forced exit,
    // restart, log off, sleep, hibernation, lock. The shut-down option is captioned with the full-width "シャットダウン"
    // but stands for the half-width word "ｼｬｯﾄﾀﾞｳﾝ".
    std::string_view chosenWord() const;

private:
    std::array<const ui::Control*, 7> options_{};
};

}  // namespace qm
