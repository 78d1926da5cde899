#pragma once
// What every dialog of the player shares: the publication's dialog font
// (CUSTOMFONTNAME, CUSTOMFONTSIZE, CUSTOMFONTSTYLE), its language texts with
// the player's own French words where the publication leaves one empty, its
// three dialog pictures, and the built-in icons and padlock, drawn here in
// code so that they look the same on every system.

#include "publication/publication_model.h"

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

#include <array>

class QFontMetrics;

namespace tomeric {

class TDialogLook {
public:
    // The built-in look: "MS Sans Serif" 8 bold and the player's words.
    TDialogLook();
    explicit TDialogLook(const TPublicationSettings& settings);

    const QFont& Font() const { return font_; }
    // A language text, or the player's built-in word when it is empty.
    QString Word(TLanguageText which) const;

    const QString& AlertImage() const { return alertImage_; }
    const QString& MessageImage() const { return messageImage_; }
    const QString& ExitImage() const { return exitImage_; }

private:
    QFont font_;
    std::array<QString, kLanguageTextCount> words_;
    QString alertImage_, messageImage_, exitImage_;
};


// "|" in a dialog text is a line break.
QString DialogDisplayText(const QString& text);

// Button height of every dialog: at least 25, else the "M" height + 4.
int DialogButtonHeight(const QFontMetrics& metrics);

// ---- built-in pictures --------------------------------------------------------------

enum class TBuiltinIcon { biAlert, biAsk };

// The alert icon serves dialogs with fewer than two buttons, the ask icon
// the others.
inline TBuiltinIcon IconForButtonCount(int buttons)
{
    return buttons < 2 ? TBuiltinIcon::biAlert : TBuiltinIcon::biAsk;
}

// The display's colour count: 2^(bits per pixel) below 9 bits, otherwise
// 16,777,216. More than 256 colours takes the high-colour icons.
qint64 DisplayColourCount();

// A 32 × 32 icon. Its lower-left pixel holds the colour painted as
// transparent (the icons are drawn the way Windows bitmaps are: on a key
// colour). `highColour` picks the shaded version, otherwise a flat one for
// 256-colour displays.
QImage BuiltinIconImage(TBuiltinIcon icon, bool highColour);
// The icon with its key colour made transparent, ready to paint.
QImage TransparentIcon(const QImage& keyed);

// The padlock of the password dialog: 32 × 32, transparent background.
QImage PadlockImage();

// A dialog picture the publication names (an included file, or a file on
// disk); null when the name is empty or the picture cannot be read.
QImage LoadDialogImage(const QString& name);

} // namespace tomeric
