// Which exit-method word the option buttons of a window stand for.
#include "forms/method_choice.h"

#include <array>

#include "schedule/exit_method.h"

namespace qm {

std::string_view chosenMethodWord(ui::Form& form) {
    struct Choice {
        std::string_view option;
        std::string_view word;
    };
    static constexpr std::array<Choice, 4> kChoices{{
        {"Option1", kShutdownWord},
        {"Option2", kForcedExitWord},
        {"Option3", kRestartWord},
        {"Option4", kLogoffWord},
    }};
    for (const Choice& c : kChoices) {
        if (form.ctl(c.option).value()) return c.word;
    }
    return kShutdownWord;  // one option is always selected; Option1 is the one selected at load
}

}  // namespace qm
