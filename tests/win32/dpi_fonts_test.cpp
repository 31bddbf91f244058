// Twips to pixels at 96 and 144 DPI, and fonts: size, weight, character set and the Japanese face
// that stands in for a missing one.
#include <gtest/gtest.h>

#include "platform/win32/dpi.h"
#include "platform/win32/fonts.h"
#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

struct TwipsCase {
    int twips, dpi, pixels;
};

class TwipsToPixels : public ::testing::TestWithParam<TwipsCase> {};

TEST_P(TwipsToPixels, RoundsToTheNearestPixel) {
    const TwipsCase c = GetParam();
    EXPECT_EQ(twipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi << " DPI";
}

INSTANTIATE_TEST_SUITE_P(
    At96And144, TwipsToPixels,
    ::testing::Values(TwipsCase{1440, 96, 96}, TwipsCase{1440, 144, 144}, TwipsCase{15, 96, 1},
                      TwipsCase{120, 96, 8}, TwipsCase{120, 144, 12}, TwipsCase{45, 144, 5},  // 4.5 rounds up
                      TwipsCase{7, 96, 0}, TwipsCase{8, 96, 1},             // half a pixel is 7.5 twips
                      TwipsCase{3615, 96, 241}, TwipsCase{3615, 144, 362},  // 361.5
                      TwipsCase{-50000, 96, -3333}, TwipsCase{-50000, 144, -5000},  // far off-screen
                      TwipsCase{-45, 144, -5}, TwipsCase{0, 144, 0}),               // mirrors around 0
    [](const auto& i) {
        const int t = i.param.twips;
        return (t < 0 ? "Minus" : "") + std::to_string(std::abs(t)) + "TwipsAt" + std::to_string(i.param.dpi);
    });

TEST(TwipsRect, EdgesAreRoundedSoNeighboursStayFlush) {
    // Two buttons side by side in twips touch in pixels too, whatever the rounding of each width.
    const RECT left = twipsToPixels(ui::Rect{45, 0, 1215, 375}, 144);
    const RECT right = twipsToPixels(ui::Rect{1260, 0, 1215, 375}, 144);
    EXPECT_EQ(left.right, right.left);
    EXPECT_EQ(left.left, 5);
    EXPECT_EQ(left.right, 126);
    EXPECT_EQ(left.bottom, 38);  // 37.5
}

TEST(TwipsRect, MatchesTheFormTablesAt96And144) {
    const RECT at96 = twipsToPixels(ui::Rect{120, 45, 5070, 360}, 96);
    EXPECT_EQ((std::vector<LONG>{at96.left, at96.top, at96.right, at96.bottom}),
              (std::vector<LONG>{8, 3, 346, 27}));
    const RECT at144 = twipsToPixels(ui::Rect{120, 45, 5070, 360}, 144);
    EXPECT_EQ((std::vector<LONG>{at144.left, at144.top, at144.right, at144.bottom}),
              (std::vector<LONG>{12, 5, 519, 41}));
}

TEST(PixelsToTwips, IsTheInverseOnWholePixels) {
    for (int dpi : {96, 120, 144, 192}) {
        for (int pixels : {-3333, -1, 0, 1, 8, 241, 1000}) {
            EXPECT_EQ(twipsToPixels(pixelsToTwips(pixels, dpi), dpi), pixels) << pixels << " at " << dpi;
        }
    }
}

TEST(OuterSize, AddsTheFrameAndCaptionOfAFixedWindow) {
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    const SIZE outer = outerSizeForClient(SIZE{300, 200}, style, WS_EX_DLGMODALFRAME, 96);
    EXPECT_GT(outer.cx, 300);
    EXPECT_GT(outer.cy, 200 + 10);  // a caption at least
    const SIZE none = outerSizeForClient(SIZE{300, 200}, WS_POPUP, 0, 96);
    EXPECT_EQ(none.cx, 300);
    EXPECT_EQ(none.cy, 200);
}

struct FontCase {
    double points;
    int dpi;
    LONG height;
};

class FontHeight : public ::testing::TestWithParam<FontCase> {};

TEST_P(FontHeight, IsTheCharacterHeightInPixelsAtTheDpi) {
    const FontCase c = GetParam();
    const LOGFONTW lf = logFontFor(ui::Font{.face = "ＭＳ Ｐゴシック", .points = c.points}, c.dpi);
    EXPECT_EQ(lf.lfHeight, -c.height) << c.points << " pt at " << c.dpi;
}

INSTANTIATE_TEST_SUITE_P(FormTableSizes, FontHeight,
                         ::testing::Values(FontCase{9, 96, 12}, FontCase{9.75, 96, 13},
                                           FontCase{9.75, 144, 20}, FontCase{8.25, 96, 11},
                                           FontCase{11.25, 96, 15}, FontCase{20.25, 96, 27},
                                           FontCase{48, 96, 64}, FontCase{48, 144, 96},
                                           FontCase{14.25, 96, 19}),
                         [](const auto& i) {
                             const int hundredths = static_cast<int>(i.param.points * 100);
                             return std::to_string(hundredths / 100) + "_" + std::to_string(hundredths % 100) +
                                    "PtAt" + std::to_string(i.param.dpi);
                         });

TEST(Fonts, CarryWeightAndCharacterSet) {
    const LOGFONTW bold =
        logFontFor(ui::Font{.face = "ＭＳ Ｐ明朝", .points = 11.25, .bold = true, .charset = ui::Charset::ShiftJis}, 96);
    EXPECT_EQ(bold.lfWeight, FW_BOLD);
    EXPECT_EQ(bold.lfCharSet, SHIFTJIS_CHARSET);
    const LOGFONTW plain = logFontFor(ui::Font{.face = "Times New Roman", .points = 14.25}, 96);
    EXPECT_EQ(plain.lfWeight, FW_NORMAL);
    EXPECT_EQ(plain.lfCharSet, DEFAULT_CHARSET);
}

TEST(Fonts, AMissingFaceGivesWayToAnInstalledJapaneseFace) {
    const std::wstring gothic = installedFace(ui::Font{.face = "No Such Gothic 1998", .charset = ui::Charset::ShiftJis});
    EXPECT_NE(gothic, L"No Such Gothic 1998");
    EXPECT_TRUE(faceInstalled(gothic, SHIFTJIS_CHARSET)) << "stand-in cannot show Japanese";
    const std::wstring mincho = installedFace(ui::Font{.face = "ＸＸ 明朝", .charset = ui::Charset::ShiftJis});
    EXPECT_TRUE(mincho == L"IPAPMincho" || mincho == L"MS Mincho" || mincho == L"Noto Serif CJK JP" ||
                mincho == L"ＸＸ 明朝")
        << "serif stand-in";
    EXPECT_TRUE(faceInstalled(mincho, SHIFTJIS_CHARSET));
}

TEST(Fonts, TheIpaFaceOfTheSameShapeStandsInForAMissingWindowsFace) {
    const struct {
        const char* face;
        const wchar_t *english, *ipa;
    } cases[] = {
        {"ＭＳ Ｐゴシック", L"MS PGothic", L"IPAPGothic"},
        {"ＭＳ ゴシック", L"MS Gothic", L"IPAGothic"},
        {"ＭＳ Ｐ明朝", L"MS PMincho", L"IPAPMincho"},
        {"ＭＳ 明朝", L"MS Mincho", L"IPAMincho"},
    };
    for (const auto& c : cases) {
        if (faceInstalled(widen(c.face), SHIFTJIS_CHARSET) || faceInstalled(c.english, SHIFTJIS_CHARSET)) continue;
        if (!faceInstalled(c.ipa, SHIFTJIS_CHARSET)) continue;  // fonts-ipafont-* not installed
        EXPECT_EQ(installedFace(ui::Font{.face = c.face, .charset = ui::Charset::ShiftJis}), c.ipa) << c.face;
    }
}

int CALLBACK keepFirstFace(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM found) {
    if (lf->lfFaceName[0] == L'@') return 1;  // vertical variants
    *reinterpret_cast<std::wstring*>(found) = lf->lfFaceName;
    return 0;
}

TEST(Fonts, AnInstalledFaceIsKept) {
    // Whatever GDI has, asked for by its own name, is used as it is.
    HDC screen = GetDC(nullptr);
    LOGFONTW any{};
    any.lfCharSet = DEFAULT_CHARSET;
    std::wstring first;
    EnumFontFamiliesExW(screen, &any, keepFirstFace, reinterpret_cast<LPARAM>(&first), 0);
    ReleaseDC(nullptr, screen);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(installedFace(ui::Font{.face = narrow(first)}), first);
}

TEST(FontCache, GivesOneFontPerFontAndDpi) {
    FontCache cache;
    const ui::Font font{.face = "ＭＳ Ｐゴシック", .points = 9};
    HFONT a = cache.get(font, 96);
    EXPECT_EQ(cache.get(font, 96), a);
    EXPECT_NE(cache.get(font, 144), a);
    LOGFONTW made{};
    ASSERT_TRUE(GetObjectW(cache.get(font, 144), sizeof(made), &made));
    EXPECT_EQ(made.lfHeight, -18);
}

}  // namespace
}  // namespace qm::win32
