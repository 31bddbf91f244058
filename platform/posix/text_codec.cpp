// Shift_JIS (code page 932) through glibc's iconv "CP932", which follows the Windows table.
#include <errno.h>
#include <iconv.h>

#include <algorithm>
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
        if (out.empty()) out.reserve(in.size() + in.size() / 2);
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
        // Sized once for the most a byte can become (a half-width katakana or U+FFFD: three
        // bytes), so a long schedule is never copied into a regrown buffer; what is not written
        // is address space only, never touched.
        std::string out;
        out.reserve(3 * sjis.size());
        Iconv("UTF-8", "CP932").convert(sjis, out, [](std::string& o) {
            o += kReplacement;
            return true;
        });
        return out;
    }

    std::optional<std::string> encode(std::string_view utf8) const override {
        // iconv also maps a few characters to a code that reads back as another one (U+301C
        // WAVE DASH is written as the code of U+FF5E): that is as unencodable as no code at all,
        // so every piece is read back and compared. A long text goes a slice at a time, each
        // read back while it is still in the cache.
        constexpr std::size_t kSlice = 256 * 1024;
        Iconv encoder("CP932", "UTF-8");
        Iconv decoder("UTF-8", "CP932");
        const auto fail = [](std::string&) { return false; };
        std::string out;
        out.reserve(utf8.size());  // two bytes or fewer for each character of two or more
        std::string back;
        for (std::size_t pos = 0; pos < utf8.size();) {
            std::size_t end = std::min(utf8.size(), pos + kSlice);
            while (end < utf8.size() && end > pos && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
            const std::string_view slice = utf8.substr(pos, end - pos);
            const std::size_t at = out.size();
            if (!encoder.convert(slice, out, fail)) return std::nullopt;
            back.clear();
            if (!decoder.convert(std::string_view(out).substr(at), back, fail) || back != slice) return std::nullopt;
            pos = end;
        }
        return out;
    }
};

}  // namespace

std::unique_ptr<TextCodec> makeShiftJisCodec() { return std::make_unique<IconvShiftJisCodec>(); }

}  // namespace qm
