// Shift_JIS (code page 932) through glibc's iconv "CP932", which follows the Windows table.
#include <errno.h>
#include <iconv.h>

#include <stdexcept>
#include <system_error>

#include "platform/os_services.h"

namespace qm {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// One conversion direction, opened for one call and closed with it.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::system_error(errno, std::generic_category(),
                                    std::string("iconv ") + from + " to " + to);
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts all of `in`, appending to `out`. On a byte sequence that does not convert, `onBad`
    // decides: it returns false to give up, or true after it has dealt with the first byte (which
    // is then skipped). The output goes through a small buffer and is appended from there, so a
    // large text costs one pass and the string's own growth, never a zero-filled guess at its size.
    template <class OnBad>
    bool convert(std::string_view in, std::string& out, OnBad onBad) {
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        out.reserve(out.size() + in.size() + in.size() / 2);
        char buffer[64 * 1024];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            const int error = errno;
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (r != static_cast<std::size_t>(-1)) break;
            if (error == E2BIG) continue;
            // EINVAL: the input ends inside a character, a lone lead byte at the end.
            if ((error != EILSEQ && error != EINVAL) || !onBad(out)) return false;
            ++inPtr;
            --inLeft;
        }
        return true;
    }

private:
    iconv_t cd_;
};

class IconvShiftJisCodec final : public TextCodec {
public:
    IconvShiftJisCodec() {
        // Fail at start-up, not at the first read, when the system lacks the conversion.
        Iconv check("UTF-8", "CP932");
    }

    std::string decode(std::string_view sjis) const override {
        // A byte that starts no valid character becomes U+FFFD on its own and decoding goes on
        // with the next byte, so a bad byte never swallows a CR and the line structure holds.
        std::string out;
        Iconv("UTF-8", "CP932").convert(sjis, out, [](std::string& o) {
            o += kReplacement;
            return true;
        });
        return out;
    }

    std::optional<std::string> encode(std::string_view utf8) const override {
        std::string out;
        if (!Iconv("CP932", "UTF-8").convert(utf8, out, [](std::string&) { return false; }))
            return std::nullopt;
        // iconv also maps a few characters to a code that reads back as another one (U+301C
        // WAVE DASH is written as the code of U+FF5E): that is as unencodable as no code at all.
        if (decode(out) != utf8) return std::nullopt;
        return out;
    }
};

}  // namespace

std::unique_ptr<TextCodec> makeShiftJisCodec() { return std::make_unique<IconvShiftJisCodec>(); }

}  // namespace qm
