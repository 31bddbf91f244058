// The window definitions' units in Qt's terms: twips to pixels at the screen's logical DPI,
// 0x00BBGGRR colours, and the Japanese Windows faces replaced by fonts a Linux desktop has.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <string>

#include "platform/ui/definition.h"

namespace qm::qt {

inline QString qs(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The primary screen's logical DPI; 96 when there is no screen.
double screenDpi();

int twipsToPixels(int twips, double dpi);
int pixelsToTwips(int pixels, double dpi);
QRect pixelRect(const ui::Rect& twips, double dpi);

QColor toQColor(ui::Colour colour);

// The faces that stand in for a Windows face, the closest first: the proportional Gothic and
// Mincho ("ＭＳ Ｐゴシック", "ＭＳ Ｐ明朝") become IPAPGothic and IPAPMincho, the fixed ones IPAGothic
// and IPAMincho, each with Noto Sans or Serif CJK JP behind it; "Times New Roman" an installed
// serif; other faces are left to fontconfig.
QStringList substituteFamilies(const std::string& face);
// The substitute face at the definition's size and weight; an empty face keeps the default family.
QFont toQFont(const ui::Font& font);
// How many pixels higher than Qt would put it a label's text sits so that its baseline falls where
// the Windows face's does (0.88 em below the top); 0 unless Noto CJK stands in (the IPA faces
// share the Windows faces' baseline).
int baselineRaise(const QFont& font, double dpi);
// What controls without a font of their own use: the Japanese Gothic at 9 pt, as Windows does.
QFont defaultFont();
// Fills Qt's font database, fontconfig's list of every installed face, once for the whole
// process; the first font looked up waits for it, most of a second on a busy machine.
// Safe on any thread.
void loadFontDatabase();

}  // namespace qm::qt
