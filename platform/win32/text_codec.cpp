// Shift_JIS as Windows has it: code page 932 through MultiByteToWideChar/WideCharToMultiByte.
#include <string>

#include "platform/os_services.h"
#include "platform/win32/wide.h"

namespace qm {
namespace {

constexpr UINT kShiftJis = 932;

// Decodes byte by byte once a whole-text decode has failed: a byte that starts no valid
// character becomes U+FFFD on its own and the next byte is read afresh, so a bad byte never
// swallows a CR and the rest of the line is kept.
std::wstring decodeCarefully(std::string_view sjis) {
    std::wstring out;
    out.reserve(sjis.size());
    for (std::size_t i = 0; i < sjis.size();) {
        const bool lead = ::IsDBCSLeadByteEx(kShiftJis, static_cast<BYTE>(sjis[i]));
        const int len = (lead && i + 1 < sjis.size()) ? 2 : 1;
        wchar_t ch[2];
        const int n = ::MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, sjis.data() + i, len,
                                            ch, 2);
        if (n > 0) {
            out.append(ch, static_cast<std::size_t>(n));
            i += static_cast<std::size_t>(len);
        } else {
            out += L'\uFFFD';
            i += 1;
        }
    }
    return out;
}

class Win32ShiftJisCodec final : public TextCodec {
public:
    std::string decode(std::string_view sjis) const override {
        if (sjis.empty()) return {};
        const int size = static_cast<int>(sjis.size());
        const int n = ::MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, sjis.data(), size,
                                            nullptr, 0);
        if (n <= 0) return narrow(decodeCarefully(sjis));
        std::wstring wide(static_cast<std::size_t>(n), L'\0');
        ::MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, sjis.data(), size, wide.data(), n);
        return narrow(wide);
    }

    std::optional<std::string> encode(std::string_view utf8) const override {
        if (utf8.empty()) return std::string();
        // Ill-formed UTF-8 widens to U+FFFD, which code page 932 cannot hold either.
        const std::wstring wide = widen(utf8);
        const int size = static_cast<int>(wide.size());
        // No best fit ("ñ" would become "n") and no default character: a character without a
        // Shift_JIS code fails the whole text.
        BOOL usedDefault = FALSE;
        const int n = ::WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                            nullptr, 0, nullptr, &usedDefault);
        if (n <= 0 || usedDefault) return std::nullopt;
        std::string out(static_cast<std::size_t>(n), '\0');
        ::WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), size, out.data(), n,
                              nullptr, &usedDefault);
        // Whatever is written must read back as the same text.
        if (usedDefault || decode(out) != utf8) return std::nullopt;
        return out;
    }
};

}  // namespace

std::unique_ptr<TextCodec> makeShiftJisCodec() { return std::make_unique<Win32ShiftJisCodec>(); }

}  // namespace qm
