// The window definitions' units in Qt's terms: twips to pixels at the screen's logical DPI,
// 0x00BBGGRR colours, and the Japanese Windows faces replaced by fonts a Linux desktop has.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
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

// "ＭＳ Ｐゴシック" and the other Gothic faces become "Noto Sans CJK JP", the Mincho faces
// "Noto Serif CJK JP", "Times New Roman" an installed serif; other faces are left to fontconfig.
QString substituteFamily(const std::string& face);
// The substitute face at the definition's size and weight; an empty face keeps the default family.
QFont toQFont(const ui::Font& font);
// How many pixels higher than Qt would put it a label's text sits so that its baseline falls where
// the Windows face's does (0.88 em below the top); 0 for faces that are not the Noto CJK ones.
int baselineRaise(const QFont& font, double dpi);
// What controls without a font of their own use: the Japanese Gothic at 9 pt, as Windows does.
QFont defaultFont();
// Fills Qt's font database, fontconfig's list of every installed face, once for the whole
// process; the first font looked up waits for it, most of a second on a busy machine.
// Safe on any thread.
void loadFontDatabase();

}  // namespace qm::qt
