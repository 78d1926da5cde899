#pragma once
// Edit masks in the notation publications use (the masked-edit notation of
// Windows development tools): "!90/90/0000;1;_" is a mask, then whether the
// literal characters are saved with the value, then the character shown in
// empty positions. The mask is translated into a QLineEdit input mask where
// the two notations agree; what QLineEdit cannot express (leading blanks,
// values without their literals, empty positions saved as spaces, the
// locale's date and time separators) is done here.
//
// Mask characters:
//   L letter (required)      l letter (optional)
//   A letter or digit        a letter or digit (optional)
//   C any character          c any character (optional)
//   0 digit                  9 digit (optional)
//   # digit, "+" or "-" (optional)
//   > upper case from here   < lower case from here   <> no case change
//   \ the next character is a literal      _ a space literal
//   / date separator         : time separator
//   ! optional positions left empty are filled from the left (leading blanks)
// Any other character is a literal.

#include <QChar>
#include <QString>

#include <vector>

namespace tomeric {

// One position of the masked text as the reader sees it.
struct TMaskPosition {
    bool literal = false; // a fixed character the reader cannot change
    bool required = false;
    QChar character;      // the literal itself (literal positions only)
};

struct TEditMask {
    QString qtMask;            // for QLineEdit::setInputMask; empty when unmasked
    bool saveLiterals = true;  // the value keeps the literal characters
    QChar blank = u'_';        // shown in empty positions
    bool leadingBlanks = false;
    std::vector<TMaskPosition> positions; // one per displayed position

    bool IsMasked() const { return !qtMask.isEmpty(); }
};

// Reads a mask in the publication's notation. An empty text or one with no
// positions gives an unmasked TEditMask.
TEditMask ParseEditMask(const QString& text, QChar dateSeparator = u'/', QChar timeSeparator = u':');

// The separators of the user's locale, used for "/" and ":".
QChar LocaleDateSeparator();
QChar LocaleTimeSeparator();

// The value a variable receives for the displayed text of a masked field
// (what QLineEdit::displayText() shows: every position, blanks included):
// empty positions become spaces, literals are dropped unless saved, and
// with "!" the empty optional positions of each run move to its front.
QString MaskedValue(const TEditMask& mask, const QString& displayText);

// True when every required position of the displayed text is filled.
bool MaskSatisfied(const TEditMask& mask, const QString& displayText);

} // namespace tomeric
