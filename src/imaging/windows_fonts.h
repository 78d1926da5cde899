#pragma once
// Fonts as publications name them. Publications ask for the fonts of a
// Windows desktop ("MS Sans Serif", "Arial", "Times New Roman" ...); where a
// named family is missing here, the nearest installed family of the same
// kind stands in, so text keeps its proportions: sans-serif for sans-serif,
// serif for serif, fixed pitch for fixed pitch.

#include <QFont>
#include <QString>

namespace tomeric {

// FONTSTYLE= bits.
enum TFontStyleBits : int { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font for a family name, a size in points and a style bit set. Sizes
// below 1 become 8 points. The font's pixel size is the one Windows used at
// 96 dots per inch (8 points = 11 pixels), so layouts match the author's.
QFont WindowsFont(const QString& family, int pointSize, int styleBits);

// Registers the stand-ins for the usual Windows families once; WindowsFont
// calls it itself.
void InstallFontSubstitutes();

} // namespace tomeric
