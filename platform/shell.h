// The shell service: opens a document, a page or an address with the program registered for it.
#pragma once

#include <optional>
#include <string>

namespace qm {

class Shell {
public:
    virtual ~Shell() = default;
    // Opens `document` with the shell's "open" action, shown, owned by the desktop.
    // `parameters` nullopt passes none at all, distinct from an empty string. The program
    // ignores the result; it is true when the shell took the request.
    virtual bool open(const std::string& document, const std::optional<std::string>& parameters) = 0;
};

}  // namespace qm
