// The exit-method option buttons that the settings window and the time-of-day dialog share:
// Option1 to Option4, captioned for the user, each standing for the word an entry stores.
#pragma once

#include <string_view>

#include "platform/ui/form.h"

namespace qm {

// The stored word of the selected option: Option1 to Option4 are tested in this order. The
// shut-down option is captioned with the full-width "シャットダウン" but stands for the half-width
// word "ｼｬｯﾄﾀﾞｳﾝ".
std::string_view chosenMethodWord(ui::Form& form);

}  // namespace qm
