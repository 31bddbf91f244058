// The time-of-day dialog: completes an entry for the day picked on the settings window's
// calendar (hour, minute, that day only or every day, method) and appends it to the settings list.
#pragma once

#include <optional>
#include <string_view>

#include "platform/ui/form.h"

namespace qm {

class Program;

class TimeSet final : public ui::Form {
public:
    explicit TimeSet(Program& program);
    static ui::FormDef definition();

    // An hour or minute as typed or picked: one or two digits, the unit's suffix optional.
    // nullopt for anything else or a value above `max`.
    static std::optional<int> typedNumber(std::string_view text, std::string_view suffix, int max);

private:
    void bindEvents() override;
    void Form_Load() override;
    void Timer1_Timer();
    void Command1_Click();
    void Command2_Click();

    Program& program_;
};

}  // namespace qm
