// The exit-method option rows, and which method's word they stand for.
#include "forms/method_choice.h"

#include <algorithm>
#include <string>
#include <vector>

namespace qm {

void addMethodOptions(ui::FormDef& form, std::string_view frame, std::span<const int> tabIndexes) {
    std::vector<ui::ControlDef> rows;
    for (std::size_t i = 0; i < kExitMethods.size(); ++i) {
        const ExitMethodInfo& info = kExitMethods[i];
        rows.push_back({.kind = ui::Kind::Option,
                        .name = std::string(info.optionName),
                        .parent = std::string(frame),
                        .caption = std::string(info.caption),
                        .rect = {120, 360 + 360 * static_cast<int>(i), info.optionWidth, 255},
                        .tooltip = std::string(info.tooltip),
                        .tabIndex = tabIndexes[i],
                        .value = i == 0});
    }
    const auto at = std::find_if(form.controls.begin(), form.controls.end(),
                                 [&](const ui::ControlDef& c) { return c.name == frame; });
    form.controls.insert(at == form.controls.end() ? at : at + 1, rows.begin(), rows.end());
}

void MethodOptions::bind(ui::Form& form) {
    for (std::size_t i = 0; i < options_.size(); ++i) options_[i] = &form.ctl(kExitMethods[i].optionName);
}

std::string_view MethodOptions::chosenWord() const {
    for (std::size_t i = 0; i < options_.size(); ++i) {
        if (options_[i]->value()) return kExitMethods[i].word;
    }
    return kExitMethods.front().word;  // one option is always selected; the first is selected at load
}

}  // namespace qm
