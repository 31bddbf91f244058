// Fuzzes the Shift_JIS codec: decoding yields well-formed UTF-8 and keeps every line end, and
// whatever encodes reads back unchanged.
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/os_services.h"
#include "schedule/utf8.h"

namespace {

bool wellFormedUtf8(std::string_view s) {
    for (std::size_t pos = 0; pos < s.size();) {
        const std::size_t len = qm::utf8CharLength(s, pos);
        const auto lead = static_cast<unsigned char>(s[pos]);
        if (len == 1 && lead >= 0x80) return false;
        const char32_t c = qm::utf8CodePoint(s, pos, len);
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if ((len > 1 && c < least[len]) || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return false;
        if ((len == 2 && lead < 0xC2) || (len == 3 && lead < 0xE0) || (len == 4 && lead < 0xF0))
            return false;
        const std::size_t want = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (len != want) return false;
        pos += len;
    }
    return true;
}

std::size_t countOf(std::string_view s, char c) {
    std::size_t n = 0;
    for (char x : s) n += x == c;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::unique_ptr<qm::TextCodec> codec = qm::makeShiftJisCodec();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Decoding: well-formed UTF-8, and a bad byte never takes a line end with it.
    const std::string text = codec->decode(bytes);
    QM_FUZZ_CHECK(wellFormedUtf8(text));
    QM_FUZZ_CHECK(countOf(text, '\r') == countOf(bytes, '\r'));
    QM_FUZZ_CHECK(countOf(text, '\n') == countOf(bytes, '\n'));

    // What was decoded without a replacement encodes again, to text that reads the same.
    const auto again = codec->encode(text);
    if (text.find("\xEF\xBF\xBD") == std::string::npos) QM_FUZZ_CHECK(again.has_value());
    if (again) QM_FUZZ_CHECK(codec->decode(*again) == text);

    // The same bytes taken as UTF-8: encoding either refuses or round-trips exactly.
    if (const auto encoded = codec->encode(bytes)) {
        QM_FUZZ_CHECK(wellFormedUtf8(bytes));
        QM_FUZZ_CHECK(codec->decode(*encoded) == bytes);
    }
    return 0;
}
