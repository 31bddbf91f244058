// Walking UTF-8 text by character, for code that counts positions in characters.
#pragma once

#include <cstddef>
#include <string_view>

namespace qm {

// Byte length of the character that starts at `pos`. A stray byte counts as one character of
// its own, so text that is not well-formed still has well-defined positions.
inline std::size_t utf8CharLength(std::string_view s, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(s[pos]);
    std::size_t want = 1;
    if (lead >= 0xF0 && lead <= 0xF4) want = 4;
    else if (lead >= 0xE0 && lead <= 0xEF) want = 3;
    else if (lead >= 0xC2 && lead <= 0xDF) want = 2;
    std::size_t len = 1;
    while (len < want && pos + len < s.size() &&
           (static_cast<unsigned char>(s[pos + len]) & 0xC0) == 0x80)
        ++len;
    return len;
}

// The code point of a well-formed character of `len` bytes (as utf8CharLength measured it).
// The first `count` characters of `s` (all of it when it has fewer).
inline std::string_view utf8Prefix(std::string_view s, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t n = 0; end < s.size() && n < count; ++n) end += utf8CharLength(s, end);
    return s.substr(0, end);
}

inline char32_t utf8CodePoint(std::string_view s, std::size_t pos, std::size_t len) {
    const auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(s[pos + i])); };
    switch (len) {
        case 2: return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
        case 3: return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
        case 4:
            return (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 |
                   (byte(3) & 0x3F);
        default: return byte(0);
    }
}

}  // namespace qm
