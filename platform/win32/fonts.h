// The fonts of the window definitions made real: face, point size, weight and character set at a
// window's DPI, with a Japanese face standing in where the named one is not installed.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "platform/ui/definition.h"

namespace qm::win32 {

// What a control without a font of its own uses: the usual Japanese dialog font.
ui::Font defaultControlFont();

// Whether GDI knows `face` with `charset` (DEFAULT_CHARSET: in any character set).
bool faceInstalled(const std::wstring& face, BYTE charset);

// The face to ask GDI for: the named one when installed, else its English name, else the IPA face
// of the same shape (MS PGothic: IPAPGothic, MS Gothic: IPAGothic, and the Minchos alike), else
// the first installed of "IPAPGothic", "MS UI Gothic", "Meiryo", "Yu Gothic", "Noto Sans CJK JP"
// (for Mincho and other serif faces "IPAPMincho", "MS Mincho", "Noto Serif CJK JP"); the named
// face when none of them is there.
std::wstring installedFace(const ui::Font& font);

// Whether the face GDI is asked for is a stand-in rather than the named one (or its English name).
bool isStandIn(const ui::Font& font);

LOGFONTW logFontFor(const ui::Font& font, int dpi);

// One GDI font per font and DPI, alive as long as the cache.
class FontCache {
public:
    FontCache() = default;
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;
    ~FontCache();

    // `percentWide`: the font's characters narrowed to that share of their natural width.
    HFONT get(const ui::Font& font, int dpi, int percentWide = 100);

private:
    using Key = std::tuple<std::string, double, bool, ui::Charset, int, int>;
    std::map<Key, HFONT> fonts_;
};

}  // namespace qm::win32
