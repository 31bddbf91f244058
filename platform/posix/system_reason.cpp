// Error texts in the language of the user's locale (LC_MESSAGES from the environment), whether or
// not the program itself ever called setlocale().
#include "platform/posix/system_reason.h"

#include <locale.h>
#include <string.h>

namespace qm {

std::string systemReason(int error) {
    // Only on the error path, so made afresh each time rather than kept.
    if (const locale_t user = newlocale(LC_MESSAGES_MASK | LC_CTYPE_MASK, "", nullptr)) {
        std::string text = strerror_l(error, user);
        freelocale(user);
        return text;
    }
    char buffer[256];
    return strerror_r(error, buffer, sizeof buffer);
}

}  // namespace qm
