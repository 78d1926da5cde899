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
// calls it itself. The metric-compatible families come first (Liberation for
// Times New Roman, Arial and Courier New, Carlito for Calibri, Caladea for
// Cambria), so text takes the width it took on Windows; then the nearest
// family of the same kind, then the generic one.
void InstallFontSubstitutes();

// The installed family that draws text asked for in `family` (the family
// itself when installed). Needs a QGuiApplication; without one, `family`.
QString FontStandIn(const QString& family);

// The debug switch for authors: with the environment variable
// TOMERIC_SHOW_FONTS set (to anything but "0"), each family a publication or
// a text asks for is reported once on stderr as
//   tomeric: font "Times New Roman" -> "Liberation Serif"
// WindowsFont and the RTF reader call it for every family they meet.
void ReportFontStandIn(const QString& family);

} // namespace tomeric
