#pragma once
// Reading RTF into a QTextDocument. Articles, text objects and rich-text
// fields keep their text as RTF (or caret markup converted to RTF); Qt has no
// RTF reader, so this one reads the shapes the era's editors wrote: WordPad,
// Word 97 and later, the caret-markup converter, and the rich-text control's
// own saves.
//
// What survives besides plain formatting (see rich_text_properties.h for the
// property ids and the helpers that query them):
//  - hot-text links: text under \uldb followed by hidden (\v) text; the hidden
//    text is the link's command, kept on the visible characters;
//  - HYPERLINK fields: the field result is the link text, the target its
//    command (a "\l" target "name" becomes ":name", a jump to a bookmark);
//  - bookmarks (\*\bkmkstart name) at the character where they start;
//  - other fields (MERGEFIELD, DATE ...): their result text, with the
//    instruction kept; a MERGEFIELD becomes a variable field of that name;
//  - pictures (\pict with PNG, JPEG, device-independent or Windows bitmap
//    data) as image resources of the document, shown at their \picwgoal /
//    \pichgoal size scaled by \picscalex / \picscaley.
//
// Malformed input never crashes or hangs the reader: unknown control words
// and destinations are skipped, groups deeper than the bound are read flat,
// oversized input is refused, and whatever was read before an error stays in
// the document.

#include <QByteArray>
#include <QColor>
#include <QString>

class QTextDocument;

namespace tomeric {

struct TRtfReadOptions {
    // Used for text whose font table entry, size or colour is missing (and
    // for every text of a document without a font table, such as the
    // caret-markup converter's output).
    QString defaultFontFamily = QStringLiteral("MS Sans Serif");
    double defaultFontPointSize = 10.0;
    QColor defaultTextColor = QColor(0, 0, 0);
    // Colour of link text; an invalid colour keeps the text's own colour.
    // Link text is always underlined.
    QColor linkColor;
    // Hidden (\v) text that is not a link's command is dropped unless this is
    // set; kept hidden text carries rtpHiddenText so that callers can strip
    // it. A link's command never shows as text.
    bool keepHiddenText = false;
    // The code page of \'hh bytes and raw 8-bit text when neither the
    // document (\ansicpgN) nor the font (\fcharsetN) names one.
    int defaultCodePage = 1252;
    // Groups nested deeper than this are read as if they were not groups
    // (their text still shows; their formatting changes leak outward).
    int maxGroupDepth = 1000;
    // Larger input is refused (the document is left empty).
    qsizetype maxInputBytes = 64 * 1024 * 1024;
};

// True when the bytes start (after white space) with "{\rtf".
bool LooksLikeRtf(const QByteArray& bytes);

// Replaces the document's content by the RTF text. Returns false, with a
// message in `error` when given, when the input is not RTF or too large, or
// when it ended inside a group; in the last case the document still holds
// everything read up to there. The document's default font becomes the
// options' default font.
bool ReadRtf(const QByteArray& rtf, QTextDocument& document, const TRtfReadOptions& options = {},
             QString* error = nullptr);

} // namespace tomeric
