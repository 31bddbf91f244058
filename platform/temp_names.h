// The names of a save's temporary files: "<name>.XXXXXX.tmp" beside the file, a name no other
// save uses, and one that says whose it is, so that the next writer can clear what a killed save
// left. One rule for both OSes; `Char` is char (POSIX names) or wchar_t (Windows names).
#pragma once

#include <algorithm>
#include <cstddef>
#include <random>
#include <string>
#include <string_view>

namespace qm {

inline constexpr std::size_t kTempTagLength = 6;
inline constexpr std::string_view kTempTagCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
inline constexpr std::string_view kTempEnd = ".tmp";

// A fresh name for a temporary file of `path`; a name taken all the same is simply drawn again.
template <typename Char>
std::basic_string<Char> tempNameOf(std::basic_string<Char> path, std::mt19937_64& random) {
    path += Char('.');
    for (std::size_t i = 0; i < kTempTagLength; ++i)
        path += static_cast<Char>(kTempTagCharacters[random() % kTempTagCharacters.size()]);
    for (const char c : kTempEnd) path += static_cast<Char>(c);
    return path;
}

// Whether the folder entry `entry` is a temporary file of the file named `name`.
template <typename Char>
bool isTempOf(std::basic_string_view<Char> entry, std::basic_string_view<Char> name) {
    const auto ascii = [](Char c, char expected) { return c == static_cast<Char>(expected); };
    if (entry.size() != name.size() + 1 + kTempTagLength + kTempEnd.size() || entry.substr(0, name.size()) != name ||
        !ascii(entry[name.size()], '.') ||
        !std::equal(kTempEnd.begin(), kTempEnd.end(), entry.end() - kTempEnd.size(), [&](char e, Char c) {
            return ascii(c, e);
        }))
        return false;
    const auto tag = entry.substr(name.size() + 1, kTempTagLength);
    return std::all_of(tag.begin(), tag.end(), [&](Char c) {
        return std::any_of(kTempTagCharacters.begin(), kTempTagCharacters.end(), [&](char t) { return ascii(c, t); });
    });
}

}  // namespace qm
