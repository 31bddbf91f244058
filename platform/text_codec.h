// The text codec service: Shift_JIS (code page 932) to and from the program's UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

class TextCodec {
public:
    virtual ~TextCodec() = default;
    // Bytes that do not decode become U+FFFD; everything else is kept.
    virtual std::string decode(std::string_view sjis) const = 0;
    // nullopt when a character has no Shift_JIS form: never a silent substitute.
    virtual std::optional<std::string> encode(std::string_view utf8) const = 0;
};

}  // namespace qm
