// Twips, colours and fonts of the window definitions, turned into what Qt draws with.
#include "platform/qt/qt_units.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace qm::qt {

namespace {

// Debian's IPA fonts were drawn to the metrics of the Windows faces, proportional and fixed
// alike, so text fills the room the windows give it; Noto CJK, wider and taller, stands in where
// they are missing.
constexpr const char* kSansJp = "Noto Sans CJK JP";
constexpr const char* kSerifJp = "Noto Serif CJK JP";

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// "ＭＳ Ｐゴシック", "MS PGothic", "MS UI Gothic": the faces whose characters have widths of their own.
bool proportional(const std::string& face) {
    return contains(face, "Ｐ") || contains(face, "MS P") || contains(face, "UI Gothic");
}

// The first of `families` that is installed, else the last one (fontconfig then finds a match).
QString firstInstalled(std::initializer_list<const char*> families) {
    const QStringList installed = QFontDatabase::families();
    for (const char* family : families) {
        if (installed.contains(QString::fromLatin1(family), Qt::CaseInsensitive))
            return QString::fromLatin1(family);
    }
    return QString::fromLatin1(*(families.end() - 1));
}

}  // namespace

double screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

int twipsToPixels(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / ui::kTwipsPerInch));
}

int pixelsToTwips(int pixels, double dpi) {
    return static_cast<int>(std::lround(pixels * ui::kTwipsPerInch / dpi));
}

QRect pixelRect(const ui::Rect& r, double dpi) {
    return {twipsToPixels(r.left, dpi), twipsToPixels(r.top, dpi), twipsToPixels(r.width, dpi),
            twipsToPixels(r.height, dpi)};
}

QColor toQColor(ui::Colour colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

QStringList substituteFamilies(const std::string& face) {
    const bool p = proportional(face);
    if (contains(face, "ゴシック") || contains(face, "Gothic"))
        return {QString::fromLatin1(p ? "IPAPGothic" : "IPAGothic"), QString::fromLatin1(kSansJp)};
    if (contains(face, "明朝") || contains(face, "Mincho"))
        return {QString::fromLatin1(p ? "IPAPMincho" : "IPAMincho"), QString::fromLatin1(kSerifJp)};
    // Liberation Serif has the metrics of Times New Roman, so the text fills the same width.
    if (face == "Times New Roman") return {firstInstalled({"Liberation Serif", "DejaVu Serif", "serif"})};
    if (face == "MS Sans Serif" || face == "Arial")
        return {firstInstalled({"Liberation Sans", "DejaVu Sans", "sans-serif"})};
    return {qs(face)};
}

QFont toQFont(const ui::Font& font) {
    QFont out = defaultFont();
    if (!font.face.empty()) out.setFamilies(substituteFamilies(font.face));
    out.setPointSizeF(font.points);
    out.setBold(font.bold);
    return out;
}

int baselineRaise(const QFont& font, double dpi) {
    const QString face = QFontInfo(font).family();
    if (!face.startsWith(QStringLiteral("Noto Sans CJK")) &&
        !face.startsWith(QStringLiteral("Noto Serif CJK")))
        return 0;
    const double em = font.pointSizeF() * dpi / 72.0;
    const int raise = static_cast<int>(std::lround(QFontMetricsF(font).ascent() - 0.88 * em));
    return std::max(raise, 0);
}

QFont defaultFont() {
    QFont out;
    out.setFamilies(substituteFamilies("ＭＳ Ｐゴシック"));
    out.setPointSizeF(9.0);
    return out;
}

void loadFontDatabase() {
    QFontDatabase::families();
}

}  // namespace qm::qt
