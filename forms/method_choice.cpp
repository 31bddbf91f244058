// Which exit-method word the option buttons of a window stand for.
#include "forms/method_choice.h"

#include "schedule/exit_method.h"

namespace qm {

namespace {

// Option10 to Option12 came later, below the first four, for the methods that leave the session
// running.
constexpr std::array<std::string_view, 7> kOptionNames{"Option1", "Option2",  "Option3", "Option4",
                                                       "Option10", "Option11", "Option12"};
constexpr std::array<std::string_view, 7> kWords{kShutdownWord, kForcedExitWord, kRestartWord, kLogoffWord,
                                                 kSleepWord,    kHibernateWord,  kLockWord};

}  // namespace

void MethodOptions::bind(ui::Form& form) {
    for (std::size_t i = 0; i < options_.size(); ++i) options_[i] = &form.ctl(kOptionNames[i]);
}

std::string_view MethodOptions::chosenWord() const {
    for (std::size_t i = 0; i < options_.size(); ++i) {
        if (options_[i]->value()) return kWords[i];
    }
    return kShutdownWord;  // one option is always selected; Option1 is the one selected at load
}

}  // namespace qm
