// Font lookup with Japanese stand-ins: a form designed for Japanese Windows still shows its text
// where "ＭＳ Ｐゴシック" is missing (other language editions, Wine).
#include "platform/win32/fonts.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

// The English names under which Windows also knows its Japanese faces.
const std::map<std::wstring, std::wstring>& englishNames() {
    static const std::map<std::wstring, std::wstring> names{
        {L"ＭＳ Ｐゴシック", L"MS PGothic"},
        {L"ＭＳ ゴシック", L"MS Gothic"},
        {L"ＭＳ Ｐ明朝", L"MS PMincho"},
        {L"ＭＳ 明朝", L"MS Mincho"},
    };
    return names;
}

// The free faces shaped like them (Debian's IPA fonts, which Wine finds where Windows' are missing).
const std::map<std::wstring, std::wstring>& ipaNames() {
    static const std::map<std::wstring, std::wstring> names{
        {L"MS PGothic", L"IPAPGothic"},
        {L"MS Gothic", L"IPAGothic"},
        {L"MS PMincho", L"IPAPMincho"},
        {L"MS Mincho", L"IPAMincho"},
    };
    return names;
}

bool looksSerif(const std::wstring& face) {
    const bool sans = face.find(L"Sans") != std::wstring::npos;
    for (const wchar_t* hint : {L"明朝", L"Mincho", L"Times", L"Serif"}) {
        if (face.find(hint) != std::wstring::npos && !sans) return true;
    }
    return false;
}

BYTE charsetOf(const ui::Font& font) {
    return font.charset == ui::Charset::ShiftJis ? SHIFTJIS_CHARSET : DEFAULT_CHARSET;
}

int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

}  // namespace

ui::Font defaultControlFont() {
    return ui::Font{.face = "ＭＳ Ｐゴシック", .points = 9.0, .charset = ui::Charset::ShiftJis};
}

bool faceInstalled(const std::wstring& face, BYTE charset) {
    static std::map<std::pair<std::wstring, BYTE>, bool> known;
    const auto key = std::make_pair(face, charset);
    if (auto it = known.find(key); it != known.end()) return it->second;
    LOGFONTW wanted{};
    wanted.lfCharSet = charset;
    if (face.size() >= LF_FACESIZE) return known[key] = false;
    face.copy(wanted.lfFaceName, face.size());
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, noteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return known[key] = found;
}

std::wstring installedFace(const ui::Font& font) {
    const std::wstring face = widen(font.face);
    // A font asked for in the Japanese character set must be able to show Japanese.
    const BYTE charset = charsetOf(font);
    std::vector<std::wstring> candidates{face};
    if (auto it = englishNames().find(face); it != englishNames().end()) candidates.push_back(it->second);
    if (auto it = ipaNames().find(candidates.back()); it != ipaNames().end()) candidates.push_back(it->second);
    if (looksSerif(face)) {
        candidates.insert(candidates.end(), {L"IPAPMincho", L"MS Mincho", L"Noto Serif CJK JP"});
    } else {
        candidates.insert(candidates.end(),
                          {L"IPAPGothic", L"MS UI Gothic", L"Meiryo", L"Yu Gothic", L"Noto Sans CJK JP"});
    }
    for (const std::wstring& candidate : candidates) {
        if (!candidate.empty() && faceInstalled(candidate, charset)) return candidate;
    }
    return face;
}

bool isStandIn(const ui::Font& font) {
    const std::wstring named = widen(font.face), used = installedFace(font);
    if (used == named) return false;
    auto it = englishNames().find(named);
    return it == englishNames().end() || it->second != used;
}

LOGFONTW logFontFor(const ui::Font& font, int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(font.points * dpi / 72.0));
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = charsetOf(font);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring face = installedFace(font);
    face.copy(lf.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    return lf;
}

FontCache::~FontCache() {
    for (auto& [key, font] : fonts_) DeleteObject(font);
}

HFONT FontCache::get(const ui::Font& font, int dpi, int percentWide) {
    const Key key{font.face, font.points, font.bold, font.charset, dpi, percentWide};
    if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
    LOGFONTW lf = logFontFor(font, dpi);
    if (percentWide != 100) {
        HDC screen = GetDC(nullptr);
        HGDIOBJ old = SelectObject(screen, get(font, dpi));
        TEXTMETRICW metrics{};
        GetTextMetricsW(screen, &metrics);
        SelectObject(screen, old);
        ReleaseDC(nullptr, screen);
        lf.lfWidth = std::max<LONG>(1, metrics.tmAveCharWidth * percentWide / 100);
    }
    HFONT made = CreateFontIndirectW(&lf);
    fonts_.emplace(key, made);
    return made;
}

}  // namespace qm::win32
