// The shell service: opens a document, a page or an address with the program registered for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qm {

inline constexpr int kSwShow = 5;

class Shell {
public:
    virtual ~Shell() = default;
    virtual std::uintptr_t desktopWindow() const = 0;
    // `parameters` nullopt is a null pointer, distinct from an empty string. The result is the
    // shell's own; the program ignores it.
    virtual std::intptr_t open(std::uintptr_t owner, const std::string& verb, const std::string& document,
                               const std::optional<std::string>& parameters, const std::string& folder,
                               int showCommand) = 0;
};

}  // namespace qm
