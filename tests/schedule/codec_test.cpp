// The Shift_JIS codec of this OS: the Windows code page 932 table, U+FFFD for bytes that do not
// decode, and no silent substitutes on encoding.
#include <gtest/gtest.h>

#include "platform/os_services.h"

namespace qm {
namespace {

class Codec : public ::testing::Test {
protected:
    std::unique_ptr<TextCodec> codec = makeShiftJisCodec();
};

struct Pair {
    std::string_view sjis;
    std::string_view utf8;
};

// Text that goes both ways unchanged.
constexpr Pair kRoundTrips[] = {
    {"", ""},
    {"abc 09\r\n", "abc 09\r\n"},
    {"\x94\x4e\x8c\x8e\x93\xfa\x8e\x9e\x95\xaa", "年月日時分"},
    {"\x81\x40", "　"},
    {"\xbc\xac\xaf\xc4\xc0\xde\xb3\xdd", "ｼｬｯﾄﾀﾞｳﾝ"},
    {"\x83\x56\x83\x83\x83\x62\x83\x67\x83\x5f\x83\x45\x83\x93", "シャットダウン"},
    {"\x96\x88\x93\xfa\x8e\xc0\x8d\x73", "毎日実行"},
    {"\x8b\xad\x90\xa7\x8f\x49\x97\xb9", "強制終了"},
    {"\x8d\xc4\x8b\x4e\x93\xae", "再起動"},
    {"\x83\x8d\x83\x4f\x83\x49\x83\x74", "ログオフ"},
    {"\x81\x60", "～"},          // 0x8160 is U+FF5E FULLWIDTH TILDE in code page 932
    {"\x81\x5c", "―"},          // U+2015 HORIZONTAL BAR
    {"\x87\x40", "①"},          // NEC row 13
    {"\xfa\x5c", "纊"},          // IBM extension
    {"\xf0\x40", "\xee\x80\x80"},  // user-defined area: U+E000
};

TEST_F(Codec, TheWindowsTableHoldsBothWays) {
    for (const Pair& p : kRoundTrips) {
        EXPECT_EQ(codec->decode(p.sjis), p.utf8) << p.utf8;
        EXPECT_EQ(codec->encode(p.utf8), std::string(p.sjis)) << p.utf8;
    }
}

TEST_F(Codec, DuplicateCodesDecodeAlikeAndEncodeAsWindowsDoes) {
    // The same character sits in the NEC-selected and the IBM rows; Windows writes the IBM code.
    EXPECT_EQ(codec->decode("\xed\x40"), "纊");
    EXPECT_EQ(codec->encode("纊"), "\xfa\x5c");
    EXPECT_EQ(codec->decode("\x87\x90\x81\xe0"), "≒≒");
    EXPECT_EQ(codec->encode("≒"), "\x81\xe0");
}

TEST_F(Codec, TheEntryOfTheExampleIsThirtyOneBytes) {
    const auto bytes = codec->encode("98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, "98\x94\x4e" "05\x8c\x8e" "12\x93\xfa 13\x8e\x9e" "05\x95\xaa\x81\x40"
                      "\xbc\xac\xaf\xc4\xc0\xde\xb3\xdd");
    EXPECT_EQ(bytes->size(), 31u);
    EXPECT_EQ(codec->encode("毎日実行　　　　22時30分　再起動")->size(), 32u);
}

TEST_F(Codec, ABadByteBecomesOneReplacementCharacterAndTheRestIsKept) {
    for (const Pair& p : {
             Pair{"\x81", "\xEF\xBF\xBD"},                 // a lead byte at the very end
             Pair{"a\x81\r\nb", "a\xEF\xBF\xBD\r\nb"},     // ... at a line end: CR LF stays
             Pair{"\x81\x20x", "\xEF\xBF\xBD x"},          // a lead byte without its trail
             Pair{"\x85\x40", "\xEF\xBF\xBD@"},            // an unassigned double-byte code
             Pair{"12\xfd" "34", "12\xEF\xBF\xBD" "34"},   // a byte that starts nothing
             Pair{"\xeb\x40\x82\xa0", "\xEF\xBF\xBD@\xe3\x81\x82"},
         })
        EXPECT_EQ(codec->decode(p.sjis), p.utf8);
}

TEST_F(Codec, ACharacterWithoutAShiftJisCodeIsRefusedNotReplaced) {
    for (std::string_view text : {
             "\xF0\x9F\x98\x80",  // an emoji
             "ñ",                 // best fit would write "n"
             "€",
             "〜",                // U+301C WAVE DASH: would come back as U+FF5E
             "−",                 // U+2212 MINUS SIGN: would come back as U+FF0D
             "abc\xF0\x9F\x98\x80" "def",
             "\xFF",              // not UTF-8 at all
             "\xEF\xBF\xBD",      // U+FFFD itself
         })
        EXPECT_EQ(codec->encode(text), std::nullopt) << text;
}

TEST_F(Codec, LongTextDecodesWhole) {
    std::string sjis, utf8;
    for (int i = 0; i < 20000; ++i) {
        sjis += "\x96\x88\x93\xfa\x8e\xc0\x8d\x73\xbc\r\n";
        utf8 += "毎日実行ｼ\r\n";
    }
    EXPECT_EQ(codec->decode(sjis), utf8);
    EXPECT_EQ(codec->encode(utf8), sjis);
}

}  // namespace
}  // namespace qm
